#pragma once
// Resource and control ids of the virtual camera's dialogs (also used by tests that work them).

#define VCAM_DLG_FORMAT 100
#define VCAM_IDC_SIZE 101
#define VCAM_IDC_BITS 102

#define VCAM_DLG_SOURCE 200
#define VCAM_IDC_BRIGHTNESS 201
#define VCAM_IDC_SCENE 202
#define VCAM_IDC_BRIGHTNESS_VALUE 203
