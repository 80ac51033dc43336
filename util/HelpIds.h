// The help topics and context numbers the windows open. Every name and
// number here has a topic in the help file "TARNWICK.HLP" (a test checks it).
#pragma once

namespace tw {

// Topics opened by Help buttons and F1.
namespace HelpTopicName {
constexpr const char* MainIndex = "Main_index";         // contents; wizard pages 0 and 6
constexpr const char* SetResource = "SetResource";      // wizard page "Resource"
constexpr const char* SetResource2 = "SetResource2";    // wizard page "Color"
constexpr const char* SetResource3 = "SetResource3";    // wizard page "Frequence"
constexpr const char* SetResource4 = "SetResource4";    // wizard page "MinMax&Events"
constexpr const char* SetResource5 = "SetResource5";    // wizard page "DialUP"
constexpr const char* PerfActDialog = "PerfActDialog";  // event setup dialog
constexpr const char* Setup1 = "Setup1";                // preferences: dial-up page
constexpr const char* Setup2 = "Setup2";                // preferences: fonts page
constexpr const char* Setup3 = "Setup3";                // preferences: miscellaneous page
constexpr const char* Copy = "Copy";                    // time period dialog of the trend export
constexpr const char* MessageDialog = "HelpID_5";       // message dialog
}  // namespace HelpTopicName

// Context numbers shown as pop-ups on a right mouse button press.
namespace HelpContext {
constexpr int KeppDialUp = 108;          // "Keep Dial-Up connection" (wizard, preferences)
constexpr int CancelBtn = 117;           // Cancel buttons (also the wizard's Cancel/Finish)
constexpr int OkBtn = 119;               // Ok buttons
constexpr int HelpBtn = 120;             // Help buttons
constexpr int StatusTableHeader = 123;   // header row of the status table
constexpr int PrintTrend = 130;          // "&Print trend"
constexpr int NetwDrive = 141;           // wizard: "Network drive"
constexpr int CDROM = 142;               // wizard: "Read only file"
constexpr int IP = 143;                  // wizard: "IP address"
constexpr int Browse = 145;              // wizard: "&Browse..."
constexpr int ColorButtons = 147;        // wizard: both "&Set Color ..." buttons
constexpr int DefAuto = 151;             // wizard: "Defines automatically"
constexpr int PerformSpeed = 152;        // wizard: `PerformMinSpeed`, `PerformMaxSpeed`
constexpr int SpeedActionButtons = 155;  // wizard: "M&in speed action...", "M&ax speed action..."
constexpr int CopyTrendBtn = 158;        // "Cop&y trend"
constexpr int TrendDatePanel = 159;      // trend date panel
constexpr int TrendNextDate = 160;       // "Next day"
constexpr int TrendPrevDate = 161;       // "Previous day"
constexpr int ShrinkAndGrow = 162;       // "&Shrink"
constexpr int TrendBmp = 164;            // "Trend" button
constexpr int ChangeFont = 185;          // preferences: "Change ..." buttons
constexpr int Legend = 193;              // scale strips beside the charts
constexpr int Chart = 194;               // live chart and trend chart
constexpr int ScaleButtons = 195;        // scale arrows of both charts
constexpr int GridButtons = 196;         // "Hor.Grid", "Vert.Grid" of both charts
constexpr int StatusTable = 197;         // resource rows of the status table
constexpr int PerfOnceBtn = 303;         // event setup: "Perform once"
constexpr int ResetCounter = 305;        // event setup: enable the other event
constexpr int PlaySoundBtn = 306;        // event setup: "Play a sound:"
constexpr int PlayBrowse = 308;          // event setup: sound "&Browse..."
constexpr int TestButtons = 309;         // event setup: the three Test buttons
constexpr int RunPrgBtn = 310;           // event setup: "Run a program:"
constexpr int RunCloseBrowse = 311;      // event setup: program "B&rowse..." buttons
constexpr int ClosePrgBtn = 313;         // event setup: "Close a program:"
constexpr int WinTitleBrowse = 315;      // event setup: window title "B&rowse..."
constexpr int MessageDialog = 480;       // the message dialog
}  // namespace HelpContext

// Every topic name and context number above, for the check of the help file.
constexpr const char* kAllHelpTopics[] = {
    HelpTopicName::MainIndex,     HelpTopicName::SetResource,  HelpTopicName::SetResource2,
    HelpTopicName::SetResource3,  HelpTopicName::SetResource4, HelpTopicName::SetResource5,
    HelpTopicName::PerfActDialog, HelpTopicName::Setup1,       HelpTopicName::Setup2,
    HelpTopicName::Setup3,        HelpTopicName::Copy,         HelpTopicName::MessageDialog};
constexpr int kAllHelpContexts[] = {HelpContext::KeppDialUp,
                                    HelpContext::CancelBtn,
                                    HelpContext::OkBtn,
                                    HelpContext::HelpBtn,
                                    HelpContext::StatusTableHeader,
                                    HelpContext::PrintTrend,
                                    HelpContext::NetwDrive,
                                    HelpContext::CDROM,
                                    HelpContext::IP,
                                    HelpContext::Browse,
                                    HelpContext::ColorButtons,
                                    HelpContext::DefAuto,
                                    HelpContext::PerformSpeed,
                                    HelpContext::SpeedActionButtons,
                                    HelpContext::CopyTrendBtn,
                                    HelpContext::TrendDatePanel,
                                    HelpContext::TrendNextDate,
                                    HelpContext::TrendPrevDate,
                                    HelpContext::ShrinkAndGrow,
                                    HelpContext::TrendBmp,
                                    HelpContext::ChangeFont,
                                    HelpContext::Legend,
                                    HelpContext::Chart,
                                    HelpContext::ScaleButtons,
                                    HelpContext::GridButtons,
                                    HelpContext::StatusTable,
                                    HelpContext::PerfOnceBtn,
                                    HelpContext::ResetCounter,
                                    HelpContext::PlaySoundBtn,
                                    HelpContext::PlayBrowse,
                                    HelpContext::TestButtons,
                                    HelpContext::RunPrgBtn,
                                    HelpContext::RunCloseBrowse,
                                    HelpContext::ClosePrgBtn,
                                    HelpContext::WinTitleBrowse,
                                    HelpContext::MessageDialog};

}  // namespace tw
