// The application's own texts (captions, messages, resource strings) and the
// runtime's conversion texts. Texts are in the ANSI code page (Windows-1252),
// as every window of the application shows them through the ANSI API.
#pragma once

// The program's name: the main window's caption and that of its boxes.
inline constexpr char kMainCaption[] = "Tessaly MC";

// Message dialog captions by dialog type.
inline constexpr char sMsgDlgWarning[] = "Warning";
inline constexpr char sMsgDlgError[] = "Error";
inline constexpr char sMsgDlgInformation[] = "Information";
inline constexpr char sMsgDlgConfirm[] = "Confirm";

// Message dialog button captions, in button kind order.
inline constexpr char sMsgDlgYes[] = "&Yes";
inline constexpr char sMsgDlgNo[] = "&No";
inline constexpr char sMsgDlgOK[] = "OK";
inline constexpr char sMsgDlgCancel[] = "Cancel";
inline constexpr char sMsgDlgAbort[] = "&Abort";
inline constexpr char sMsgDlgRetry[] = "&Retry";
inline constexpr char sMsgDlgIgnore[] = "&Ignore";
inline constexpr char sMsgDlgAll[] = "&All";
inline constexpr char sMsgDlgNoToAll[] = "N&o to All";
inline constexpr char sMsgDlgYesToAll[] = "Yes to &All";
inline constexpr char sMsgDlgHelp[] = "&Help";

inline constexpr char sDontShowAgain[] = "Don't show this message again.";
inline constexpr char sProgramTerminated[] = "*** PROGRAM TERMINATED *** \r\rFatal Error:\r";

// Conversion errors: the runtime's own (German) and the application's replacement.
inline constexpr char sInvalidInteger[] = "'%s' ist kein g\xFCltiger Integerwert";
inline constexpr char sInvalidFloat[] = "'%s' ist kein g\xFCltiger Gleitkommawert";
inline constexpr char sConversionError[] = "Conversion error! \"%s\" is not a valid %s value!";
inline constexpr char sIntegerKind[] = "integer";
inline constexpr char sFloatKind[] = "float";

// About box.
inline constexpr char sAboutCaption[] = "Info";
inline constexpr char sAboutTitle[] = "Tessaly MC\r\n\r\n";
inline constexpr char sAboutVersion[] = "V2.31 ";
inline constexpr char sAboutProgramText[] = "%sData Recording Program\r\n"
                                            "with graphical analysis\r\n"
                                            "\r\n"
                                            "Meridane\r\n"
                                            "Instruments for water activity and humidity\r\n"
                                            "\r\n"
                                            "%s";
inline constexpr char sRxQueue[] = "RxQueue: ";
inline constexpr char sMakerName[] = "Meridane";
// The maker's web page opened from the about box; a placeholder until the maker names one.
inline constexpr char sMakerHomePage[] = "https://www.meridane.example/";

// Import progress window.
inline constexpr char sImportProgress[] = "Import progress";

// Opening a document file (record or protocol) failed.
inline constexpr char sCannotOpenDocument[] = "Cannot open document! %s";
