// Resource ids of the plug-in module: dialog templates, controls and strings.
#pragma once

// Strings
#define IDS_OFFSET_ITEM_NAME 6
#define IDS_FRONT_4_CHANNELS 7
#define IDS_BACK_4_CHANNELS 8
#define IDS_FULL_8_CHANNELS 9

// Display names of the PrintTicket features and their options (settings/ticket_features.h)
#define IDS_FEATURE_PRINT_MODE 20
#define IDS_FEATURE_INK_DROP_SIZE 21
#define IDS_FEATURE_BIDIRECTIONAL 22
#define IDS_FEATURE_INK_LEVEL 23
#define IDS_FEATURE_INK_CHANNELS 24
#define IDS_OPTION_VIVID 25
#define IDS_OPTION_STANDARD 26
#define IDS_OPTION_PHOTO 27
#define IDS_OPTION_HEAVY 28
#define IDS_OPTION_MEDIUM 29
#define IDS_OPTION_LIGHT 30
#define IDS_OPTION_OFF 31
#define IDS_OPTION_ON 32
#define IDS_OPTION_LEVEL_1 33
#define IDS_OPTION_LEVEL_2 34
#define IDS_OPTION_LEVEL_3 35
#define IDS_OPTION_LEVEL_4 36
#define IDS_OPTION_LEVEL_5 37

// Dialog templates
#define IDD_INK_LEVEL_PAGE 103
#define IDD_ALIGNMENT_ADJUST 104
#define IDD_UTILITIES_PAGE 106
#define IDD_ALIGNMENT_CONFIRM 108
#define IDD_NOZZLE_CHECK_CONFIRM 110
#define IDD_ABOUT_PAGE 111
#define IDD_PURGE_PAGE 112
#define IDD_PRINT_MODE_PAGE 113

// Utilities page
#define IDC_NOZZLE_CHECK 1001
#define IDC_HEAD_CLEAN 1002
#define IDC_PORT_TEST 1003
#define IDC_HEAD_ALIGNMENT 1004
#define IDC_COUNTER_RESET 1036

// Ink Level page
#define IDC_TEST_PATTERN 1007
#define IDC_INK_LEVEL_LIST 1012
#define IDC_DROP_HEAVY 1018
#define IDC_DROP_MEDIUM 1019
#define IDC_DROP_LIGHT 1020
#define IDC_BIDIRECTIONAL 1027
#define IDC_INK_CHANNELS_LIST 1035

// Print Mode page
#define IDC_MODE_VIVID 1037
#define IDC_MODE_STANDARD 1038
#define IDC_MODE_PHOTO 1039

// Alignment adjustment dialog
#define IDC_SECTION1_LIST 1012
#define IDC_SECTION2_LIST 1013
#define IDC_SECTION3_LIST 1014
#define IDC_REALIGNMENT 1017

// Purge page
#define IDC_PURGE_HEAD_LIST 1029
#define IDC_PURGE_PRINT 1055
