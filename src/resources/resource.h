#pragma once
// Resource ids shared by the resource scripts and the C++ code. Plain
// #defines with decimal values so that windres, the native parser of
// strings.rc and both compilers read them alike; no windows.h needed.

// Icon and bitmaps.
#define IDI_MAIN 128               // window and application icon
#define IDB_HEADER_LEFT 140        // 2x17 grey ramp: left edge of the first header item
#define IDB_HEADER_SEPARATOR 141   // 2x17: ramp and the dark separator line
#define IDB_HEADER_FILL 142        // 1x17 grey ramp tiled across the header
#define IDB_SKIN 147               // 800x516 background of the main window

// Dialogs and menus.
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_STATUS 130             // progress of ripping and transferring
#define IDD_SETTINGS 131
#define IDD_WAIT 132               // starting window
#define IDD_AUTO_TRANSFER 133      // auto-closing prompt before an automatic transfer
#define IDM_TRACK_MENU 134         // context menu of the track list
#define IDD_ALBUM 135
#define IDD_DONE_NOTICE 136        // auto-closing transfer-finished notice

// Commands.
#define ID_SYSCMD_ABOUT 16         // system menu item that opens the About dialog
#define ID_TRACK_EDIT 32774
#define ID_TRACK_TOGGLE_CHECK 32775
#define ID_TRACK_MENU_CANCEL 32776

// Controls of the main window.
#define IDC_CLOSE 2                // the Close button ends the dialog like Cancel
#define IDC_ALBUM_NAME 1004
#define IDC_DISC_SIZE 1005
#define IDC_DRIVE_COMBO 1006
#define IDC_PLAYER_COMBO 1007
#define IDC_USED_CAPACITY 1010
#define IDC_FREE_CAPACITY 1011
#define IDC_EXPLORER 1012
#define IDC_SETTINGS 1013
#define IDC_TRANSFER 1014
#define IDC_TRACK_LIST 1016
#define IDC_STATUS 1018
#define IDC_ALBUM 1041
#define IDC_SKIN 1044

// Controls of the progress, wait and auto-closing windows.
#define IDC_PROGRESS_MESSAGE 1021
#define IDC_PROGRESS_BAR 1022
#define IDC_WAIT_MESSAGE 1030
#define IDC_AUTO_CLOSE_MESSAGE 1038

// Controls of the settings dialog.
#define IDC_RIP_GROUP 1024
#define IDC_FORMAT_VALUE 1025
#define IDC_PROTECTION_VALUE 1026
#define IDC_QUALITY_LABEL 1027
#define IDC_RATE_64 1028
#define IDC_RATE_128 1029
#define IDC_FORMAT_LABEL 1032
#define IDC_PROTECTION_LABEL 1033
#define IDC_AUTO_TRANSFER 1037

// Controls of the album name dialog.
#define IDC_ALBUM_EDIT 1042
#define IDC_ALBUM_LABEL 1043

// Labels and pictures that nobody addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Strings: main window and menus.
#define IDS_ABOUT_MENU 101
#define IDS_APP_TITLE 102
#define IDS_ALBUM_LABEL 202
#define IDS_TRANSFER_BUTTON 206
#define IDS_SETTINGS_BUTTON 207
#define IDS_CLOSE_BUTTON 208
#define IDS_EXPLORER_BUTTON 209
#define IDS_COLUMN_TITLE 210
#define IDS_COLUMN_ARTIST 211
#define IDS_COLUMN_LENGTH 212
#define IDS_ALBUM_BUTTON 213

// Strings: settings and album name dialogs.
#define IDS_SETTINGS_CAPTION 300
#define IDS_RIP_GROUP 302
#define IDS_FORMAT_WMA 304
#define IDS_PROTECTION_ON 305
#define IDS_QUALITY_LABEL 306
#define IDS_RATE_64 307
#define IDS_RATE_128 308
#define IDS_AUTO_TRANSFER 314
#define IDS_AUTO_TRANSFER_PROMPT 315
#define IDS_ALBUM_CAPTION 316

// Strings: album label and message-box captions.
#define IDS_NO_AUDIO_CD 400
#define IDS_CAPTION_WARNING 500
#define IDS_CAPTION_ERROR 501

// Strings: messages.
#define IDS_MSG_OTHER_USER 700
#define IDS_MSG_UNSUPPORTED_OS 701
#define IDS_MSG_NEED_PLAYER_10 702
#define IDS_MSG_BAD_INSTALL 703
#define IDS_MSG_PLAYER_OPEN 704
#define IDS_MSG_PLAYER_CLOSED 705
#define IDS_MSG_SETUP_FAILED 706
#define IDS_MSG_RIP_FAILED 707
#define IDS_MSG_SYNC_FAILED 708
#define IDS_MSG_SYNC_ABORTED 709
#define IDS_MSG_PC_SPACE_SHORT 712
#define IDS_MSG_PLAYER_SPACE_SHORT 719
#define IDS_MSG_SYNC_DONE 720
#define IDS_MSG_NOTHING_CHECKED 721
#define IDS_MSG_NOTHING_FITS 722
#define IDS_MSG_CANNOT_OPEN 723
#define IDS_MSG_RIP_STALLED 725

// Strings: progress and starting windows.
#define IDS_PROGRESS_CANCELLING 800
#define IDS_PROGRESS_RIPPING 801
#define IDS_PROGRESS_SYNCING 802
#define IDS_WAIT_STARTING 803
#define IDS_PROGRESS_RIP_PREPARING 804

// Strings: Status texts of the main window.
#define IDS_STATUS_INSERT_CD 900
#define IDS_STATUS_CONNECT_DRIVE 901
#define IDS_STATUS_CONNECT_PLAYER 902
#define IDS_STATUS_PRESS_TRANSFER 903
#define IDS_STATUS_CHANGE_CD 904
