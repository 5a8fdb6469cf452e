#include "app/record/TempRestore_.h"

#include "app/base/Tools_.h"
#include "app/main/InfoWin_.h"
#include "app/tree/TreeNodes_.h"

namespace {

using TKind = TTempRestoreOutcome::TKind;

TTempRestoreOutcome Kept(TTempFiles& Files, const TTempRestoreRequest& Request,
                         IMessageBoxes& Boxes) {
    Files.Close();
    ShowErrorOrWarn(Boxes, Format(sTempFilesKept, Request.Names.Samples.c_str()), false);
    TTempRestoreOutcome out;
    out.Kind = TKind::NoTempFiles;
    return out;
}

TTempRestoreOutcome Restore(TTempFiles& Files, const TTempRestoreRequest& Request,
                            IMessageBoxes& Boxes, IInfoBox& Info) {
    TTempRestoreOutcome out;
    if (!Files.ReadData(out.Data))
        return Kept(Files, Request, Boxes);
    out.ChamberInfo = Files.ReadChamberInfo();
    const bool consistent = CheckTempData(out.Data);
    if (!consistent && !AskYesNo(Boxes, sTempInconsistent, true)) {
        out.Kind = TKind::Discarded;
        out.Data = {};
        if (out.ChamberInfo)
            out.ChamberInfo->RecordFileName.clear();
        Files.Clear(out.ChamberInfo.value_or(TChamberInfoTemp{}));
        return out;
    }
    if (!consistent) {
        RescueTempData(out.Data);
        Files.Rewrite(out.Data);
    }
    out.Kind = TKind::Restored;
    out.Modified = !out.Data.Samples.empty();
    if (Request.AutoRestore) {
        Info.ShowInfo(sTempRestoredAuto);
        out.ResumeRecording =
            !out.Data.Samples.empty() && !(out.Data.Samples.back().Mark & smStopped);
    }
    return out;
}

} // namespace

TTempRestoreOutcome OpenTempFiles(TTempFiles& Files, const TTempRestoreRequest& Request,
                                  IMessageBoxes& Boxes, IInfoBox& Info) {
    TTempRestoreOutcome out;
    switch (Files.Open(Request.Names)) {
    case TTempFiles::TOpenResult::Created:
        return out;
    case TTempFiles::TOpenResult::Failed:
        out.Kind = TKind::CannotCreate;
        return out;
    case TTempFiles::TOpenResult::Kept:
        return Kept(Files, Request, Boxes);
    case TTempFiles::TOpenResult::EarlierData:
        break;
    }
    const std::string question =
        Format(sTempExists, Request.InterfaceName.c_str(), static_cast<int>(Request.Chamber));
    if (Request.AutoRestore || ShowErrorOrWarn(Boxes, question, true) == mrYes)
        return Restore(Files, Request, Boxes, Info);
    if (!Files.Empty())
        return Kept(Files, Request, Boxes);
    return out;
}

void RestoreChamberInfo(TTreeModel& Tree, TTreeNode* Chamber,
                        const std::optional<TChamberInfoTemp>& Info) {
    TChamberData* chamber = ChamberData(Chamber);
    if (!chamber)
        return;
    if (Info) {
        chamber->RecordFileName = Info->RecordFileName;
        chamber->InfoText = Info->InfoText;
        SetFieldText(chamber->Name, FieldText(Info->Name));
    }
    std::string shown;
    RenameChamber(Tree, Chamber, FieldText(chamber->Name), shown);
}
