// Resource and control ids of the configuration dialog, shared by its template and its code.
#pragma once

#define IDD_CONFIG 102

#define IDC_APPLY 1000
#define IDC_VERSION 1009
#define IDC_OUTPUT_FILENAME 1100
#define IDC_SELECT 1101
#define IDC_HISTORY_LENGTH 1102
#define IDC_ARTIST_LIMIT 1103
#define IDC_TITLE_LIMIT 1104

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
