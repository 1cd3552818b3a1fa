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
