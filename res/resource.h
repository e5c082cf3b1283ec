#pragma once

#define IDD_CAMERA_DIALOG 102
