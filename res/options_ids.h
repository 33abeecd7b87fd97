/* Resource and control identifiers of the options dialog. */
#ifndef QUILLET_OPTIONS_IDS_H
#define QUILLET_OPTIONS_IDS_H

#define IDD_OPTIONS 201
#define IDI_SEARCH 204
#define IDI_SPELLING 205

#define IDC_SEARCH_ENGINE 201
#define IDC_SPELLING_WW 202
#define IDC_SPELLING_WWWW 203
#define IDC_SPELLING_CYRILLIC 204
#define IDC_SKIP_TYPED_LIST 205
#define IDC_OPTIONS_HELP 207

#endif
