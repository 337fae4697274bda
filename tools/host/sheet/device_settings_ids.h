// Resource ids of the host's Device Settings page (orlinhost.rc): clear of the plug-in's own, since
// the tests link both into one program.
#pragma once

#define IDD_DEVICE_SETTINGS 200

#define IDC_OFFSET_NAME 100
#define IDC_OFFSET_EDIT 101
#define IDC_OFFSET_UPDOWN 102
#define IDC_OFFSET_RANGE 103
