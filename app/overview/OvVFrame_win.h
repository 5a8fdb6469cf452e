// TOvVFrame: one chamber in the overview window, 578 x 55 pixels. A group box
// with the chamber's name holds the analysing and stable lamps, the information
// button, the actual values in a white box and, in the box beside it, either the
// stable values or the stability progress. The frame shows what TOvVCtl
// (OvVView_.h) tells its window; the group box, lamps and boxes are painted by
// the frame itself.
#pragma once

#include "app/base/EditAlign_win.h"
#include "app/base/Form_win.h"
#include "app/overview/OvVView_.h"

#include <functional>
#include <memory>
#include <string>

class TOvVFrame : public TForm {
public:
    // A hidden child of Parent showing State; OnInfoClick runs when the
    // information button is clicked.
    TOvVFrame(HWND Parent, const TOvVFrameState& State, std::function<void()> OnInfoClick);

    void SetText(TOvVControl Control, const std::string& Text);
    // The edit's width; the unit label right of it moves to its right edge.
    void SetWidth(TOvVControl Edit, int32_t Width);
    void SetColor(TOvVControl Shape, uint32_t Brush, uint32_t Pen);
    void SetProgress(int32_t Position);
    // StableIndicator with LabelStableInd.
    void SetProgressVisible(bool Visible);
    void SetStableValuesVisible(bool Visible);

    // The control's window: the frame itself for GroupBox1 (its caption) and the
    // painted shapes.
    HWND Item(TOvVControl Control) const;
    HWND SpeedButton1() const { return Control(kSpeedButton1); }
    HWND LabelStableInd() const { return Control(kLabelStableInd); }
    // The colours a shape is painted in.
    uint32_t Brush(TOvVControl Shape) const;
    uint32_t Pen(TOvVControl Shape) const;

protected:
    bool OnCommand(int Id, int Code, HWND Control) override;
    LRESULT OnMessage(UINT Msg, WPARAM W, LPARAM L) override;

private:
    enum : int {
        kLabelAnalyzing = 100,
        kLabelStable,
        kSpeedButton1,
        kLabelActH,
        kEditAlignActHum,
        kLabelActHum,
        kLabelActTempTitel,
        kEditAlignActTemp,
        kLabelActTemp,
        kLabelActTempTime,
        kEditAlignActTime,
        kLabelStbH,
        kEditAlignStbHum,
        kLabelStbHum,
        kLabelStbTempTitel,
        kEditAlignStbTemp,
        kLabelStbTemp,
        kLabelStbTempTime,
        kEditAlignStbTime,
        kStableIndicator,
        kLabelStableInd,
    };
    struct TShapeColors {
        uint32_t Brush;
        uint32_t Pen;
    };

    void FormCreate(const TOvVFrameState& State);
    // The labels and edits of a column of values; FirstId: its HumName label.
    void CreateColumn(int X, int FirstId, std::unique_ptr<TEditAlign>* Edits);
    void ShowColumn(const TOvVValues& Values, int FirstId);
    static int IdOf(TOvVControl Control);
    TShapeColors* Colors(TOvVControl Shape);
    const TShapeColors* Colors(TOvVControl Shape) const;
    // The background of a static control or read-only edit.
    LRESULT CtlColorStatic(WPARAM DC, HWND Ctl);
    void Paint();

    std::function<void()> FOnInfoClick;
    std::unique_ptr<TEditAlign> FEdits[6]; // ActHum, ActTemp, ActTime, StbHum, StbTemp, StbTime
    TShapeColors FAnalyzing{kClBtnFace, kClBlack};
    TShapeColors FStable{kClBtnFace, kClBlack};
    TShapeColors FStableVal{kClBtnFace, kClSilver};
};
