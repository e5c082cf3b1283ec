#pragma once
// Resource ids the framework expects among the program's resources (also read by windres).
//
// IDS_FW_PARSE_INT: the message shown when a field bound to an integer holds anything else.
// The program's .rc provides its text; when it is missing the framework shows an English text.
#define IDS_FW_PARSE_INT 0xEF10

// Type of the dialog initialisation data that lists strings to add to a dialog's list and
// combo boxes (id, message, length, bytes; a zero id ends it), named like its dialog.
#define FW_RT_DLGINIT 240
