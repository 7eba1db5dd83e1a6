// Control, command and notification IDs: the vocabulary by which every part addresses the window.
#pragma once

namespace velotrix::ids {

// Commands that are not controls.
inline constexpr int kCancel = 2;  // the dialog's cancel command, sent by the Escape key
// The main window's close box (or Alt+F4), delivered to the command handler like a command.
inline constexpr int kCloseBox = 0x10;

// Main dialog controls.
inline constexpr int kComButton = 1000;
inline constexpr int kPortCombo = 1001;
inline constexpr int kBaudCombo = 1002;
inline constexpr int kParityCombo = 1003;
inline constexpr int kDataBitsCombo = 1004;
inline constexpr int kStopBitsCombo = 1005;
inline constexpr int kFlowCombo = 1006;
inline constexpr int kCtsIndicator = 1111;
// The port row's frame and the labels of its lists: a typed port path takes the room of a wider
// window, and the lists right of the port box move with it.
inline constexpr int kPortRowFrame = 7060;
inline constexpr int kBaudLabel = 7061;
inline constexpr int kParityLabel = 7062;
inline constexpr int kDataBitsLabel = 7063;
inline constexpr int kStopBitsLabel = 7064;
inline constexpr int kFlowLabel = 7065;

inline constexpr int kRxKind = 1052;
inline constexpr int kRxAadr = 1011;
inline constexpr int kRxEadr = 1012;
inline constexpr int kRxSadr = 1049;
inline constexpr int kRxCrc = 1017;
inline constexpr int kRxBytes = 1020;
inline constexpr int kRxName = 1014;
inline constexpr int kRxType = 1042;
inline constexpr int kSaveButton = 1023;

inline constexpr int kLoadButton = 2003;
inline constexpr int kRefreshButton = 1047;
inline constexpr int kTxKind = 1044;
inline constexpr int kTxAadr = 1035;
inline constexpr int kTxEadr = 1033;
inline constexpr int kTxSadr = 1045;
inline constexpr int kTxCrc = 1031;
inline constexpr int kTxBytes = 1029;
inline constexpr int kTxName = 1026;
inline constexpr int kTxType = 1040;
inline constexpr int kSendFileButton = 2004;
inline constexpr int kPauseCombo = 1025;
inline constexpr int kContinuousCheck = 1050;
inline constexpr int kBinModeCheck = 1051;
inline constexpr int kProgressCheck = 1021;

inline constexpr int kMessageList = 3000;
inline constexpr int kStatusBar = 200;
// The text beside the progress bar (DialogView::SetProgressText); GetText reads it.
inline constexpr int kProgressText = 201;

// Text dialog controls.
inline constexpr int kTextEdit = 5001;
inline constexpr int kTextSend = 5002;
inline constexpr int kTextClose = 5003;

// Menu commands.
inline constexpr int kMenuInfo = 40001;
inline constexpr int kMenuQuit = 40002;
inline constexpr int kMenuProbePorts = 40003;
inline constexpr int kMenuSavePrefs = 40005;
inline constexpr int kMenuLoadPrefs = 40006;
inline constexpr int kMenuSendText = 40010;
inline constexpr int kMenuAutoReopen = 40011;
inline constexpr int kMenuReceptionView = 40012;
// Saving every reception: "Jeden Empfang sichern in ...", checked while it is on.
inline constexpr int kMenuSaveEvery = 40030;

// Zeichenpause, Zeilenende and "Textdatei senden": text as the home computer's keyboard needs it.
inline constexpr int kCharDelayCombo = 7030;  // ms of silence after each byte of a send
inline constexpr int kLineDelayCombo = 7031;  // ms of silence after each line end of a text
inline constexpr int kMenuLineEndNone = 40040;
inline constexpr int kMenuLineEndCr = 40041;
inline constexpr int kMenuLineEndCrLf = 40042;
inline constexpr int kMenuLineEndLf = 40043;
inline constexpr int kMenuSendTextFile = 40044;
// The line end of "Textdatei senden", apart from that of the typed text.
inline constexpr int kMenuFileLineEndNone = 40045;
inline constexpr int kMenuFileLineEndCr = 40046;
inline constexpr int kMenuFileLineEndCrLf = 40047;
inline constexpr int kMenuFileLineEndLf = 40048;
// The line log: "Protokoll" on and off (menu "Voreinstellungen").
inline constexpr int kMenuLineLog = 40035;

// DTR and RTS: the menu commands that raise or drop them (checked: raised), and the indicators
// beside CTS that show them while the port is open.
inline constexpr int kMenuDtr = 40050;
inline constexpr int kMenuRts = 40051;
inline constexpr int kDtrIndicator = 7050;
inline constexpr int kRtsIndicator = 7051;
// DSR, DCD and RI as the other side drives them, beside DTR and RTS while the port is open.
inline constexpr int kDsrIndicator = 7053;
inline constexpr int kDcdIndicator = 7054;
inline constexpr int kRiIndicator = 7055;
// "Schleifentest": the adapter self-test.
inline constexpr int kMenuSelfTest = 40052;
// XMODEM: send the loaded file in blocks of 128 or 1024 bytes, receive a file, cancel the transfer,
// and the switch that takes the fill bytes off a received file's end (checked: on).
inline constexpr int kMenuXmodemSend = 40060;
inline constexpr int kMenuXmodemSend1k = 40061;
inline constexpr int kMenuXmodemReceive = 40062;
inline constexpr int kMenuXmodemCancel = 40063;
inline constexpr int kMenuXmodemTrim = 40064;

// The window "Ansicht" of a finished reception.
inline constexpr int kViewDump = 6001;          // the rows of bytes
inline constexpr int kViewSearchText = 6002;    // what to look for
inline constexpr int kViewSearchHex = 6003;     // check box: the search text is hex bytes
inline constexpr int kViewSearchButton = 6004;  // "Suchen": the next place, from the selection on
inline constexpr int kViewCopyButton = 6005;    // "Kopieren": the selected bytes as hex

// The window "Terminal" (menu "Ansicht", Ctrl+T): a console on the open port.
inline constexpr int kMenuTerminal = 40070;
inline constexpr int kTerminalCopy = 8001;         // "Kopieren": the selection, else everything
inline constexpr int kTerminalClear = 8002;        // "Löschen": the screen and scrollback
inline constexpr int kTerminalBreak = 8003;        // "BREAK"
inline constexpr int kTerminalHex = 8004;          // hex bytes to send ("1B 5B 41")
inline constexpr int kTerminalHexSend = 8005;      // "Senden": those bytes
inline constexpr int kTerminalReceive = 8006;      // "Empfang starten" / "Empfang beenden"
inline constexpr int kTerminalSendFile = 8007;     // "Datei senden": the loaded file
inline constexpr int kTerminalFormat = 8008;       // its format
inline constexpr int kTerminalExpectCheck = 8009;  // "warten auf" the prompt first
inline constexpr int kTerminalExpect = 8010;       // the prompt
inline constexpr int kTerminalTimeout = 8011;      // how long, in seconds
// The terminal's close box, delivered to the command handler like a command.
inline constexpr int kTerminalCloseBox = 8012;

// Status bar panes.
inline constexpr int kPaneLabel = 0;
inline constexpr int kPanePath = 1;
inline constexpr int kPaneSent = 2;
inline constexpr int kPaneReceived = 3;

// Notification codes carried with a command.
inline constexpr int kNotifyClicked = 0;         // button click, menu command, accelerator
inline constexpr int kNotifySelChange = 1;       // a combo box selection changed by the user
inline constexpr int kNotifyEditChange = 0x300;  // an edit field's text changed

// The silence awaited by the taker of the received bytes: the one that closes a reception, or
// ends the adapter self-test when nothing (more) comes back.
inline constexpr int kSilenceTimer = 1;
// Looks for a lost port's device to come back.
inline constexpr int kReopenTimer = 2;
// Brings the lines of a running reception into the list, at most every 50 ms.
inline constexpr int kListingTimer = 3;
// Gives up a send that waits for the machine's prompt.
inline constexpr int kPromptTimer = 6;
// Brings what the terminal received onto its screen, at most every 30 ms.
inline constexpr int kTerminalTimer = 7;

// Sending the loaded file again when it changes ("Bei Änderung erneut senden").
inline constexpr int kResendOnChangeCheck = 7000;
// The half second the rewritten file must be still before it is sent.
inline constexpr int kResendTimer = 4;

}  // namespace velotrix::ids
