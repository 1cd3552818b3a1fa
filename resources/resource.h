// Resource identifiers of vqhkcore.exe.
#pragma once

#define IDR_MAINFRAME 128       // application icon
#define IDD_VALMORA_DIALOG 102  // hidden main window

// Test buttons of the main window.
#define IDC_TEST 1000
#define IDC_QUIT 1001
#define IDC_BRDOWN 1008
#define IDC_BRUP 1009
#define IDC_WIRELESS 1013
#define IDC_F4 1014
#define IDC_MAIN_ICON 1020
#define IDC_MAIN_TEXT1 1021
#define IDC_MAIN_TEXT2 1022
#define IDC_MAIN_TEXT3 1023

// On-screen display windows.
#define IDD_HKICON_DIALOG 157  // the OSD picture window

// Mini UI panels and their shared controls.
#define IDD_MINI_DISPLAY_SWITCH 267  // output panel
#define IDD_MINI_DISPLAY_PROPERTY 268  // resolution panel
#define IDD_MINI_PRESENTATION 269  // presentation panel
#define IDD_MINI_OPTION 273  // options panel
#define IDC_MINI_VIEW_MODE 1069  // every panel's view-mode button
#define IDC_MINI_OUTPUT_OPTIONS 1056  // the output panel's options dot
#define IDC_MINI_OPTIONS 1071  // the resolution and presentation panels' options dot
#define IDC_MINI_OPTION_CLOSE 1085  // the options panel's close mark
#define IDC_MINI_BEST_RESOLUTION 1042  // the resolution panel's best-resolution button
#define IDC_MINI_OPTION_TITLE 1078
#define IDC_MINI_OPTION_DETECTION 1074  // the options panel's display-detection group
