/* Resource and control ids of the editor panel, shared by the resource script
   and the code, so plain macros the resource compiler understands. */
#ifndef RT_PANEL_IDS_H
#define RT_PANEL_IDS_H

#define IDD_EDITOR_PANEL 109

#define IDB_TRIANGLE_LABEL 110
#define IDB_FRAME_LABEL 111
#define IDB_INIT_LABEL 112
#define IDB_BEAT_LABEL 113

#define IDC_INIT_LABEL 1002
#define IDC_INIT_EDIT 1003
#define IDC_FRAME_LABEL 1004
#define IDC_FRAME_EDIT 1005
#define IDC_BEAT_LABEL 1006
#define IDC_BEAT_EDIT 1007
#define IDC_TRIANGLE_LABEL 1008
#define IDC_TRIANGLE_EDIT 1009

#endif
