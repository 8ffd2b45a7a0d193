/* Identifiers of QV Velmora's Windows resources, shared by QVVelmora.rc and
   the program's code.  Plain numbers only: the resource compiler reads this
   file too.  The pictures are drawn by res/make_resources.py. */
#ifndef QVVELMORA_RESOURCE_H
#define QVVELMORA_RESOURCE_H

/* Application icon: 16, 32 and 48 pixels. */
#define IDI_APP             1005

/* About-box picture: 163 x 50 pixels, 24 bits. */
#define IDB_ABOUT           1006

/* Bar colour icons, 16 x 16, for the colour list of the task dialog. */
#define IDI_COLOUR_BLUE     1010
#define IDI_COLOUR_RED      1011
#define IDI_COLOUR_GREEN    1012
#define IDI_COLOUR_WHITE    1013
#define IDI_COLOUR_CYAN     1014

/* Toolbar strip: 128 x 16 pixels, 8 bits per pixel, eight 16 x 16 images on
   RGB(192,192,192).  Images, left to right: */
#define IDB_TOOLBAR         1066
#define IDB_TOOLBAR_COUNT   8
#define TBIMG_ADD_TASK      0   /* "Inserisci Task" */
#define TBIMG_INCLUDE_DAYS  1   /* "Includi giorni" */
#define TBIMG_EXCLUDE_DAYS  2   /* "Escludi giorni" */
#define TBIMG_COST          3   /* "Calcola il conto economico" */
#define TBIMG_EDIT_TASK     4
#define TBIMG_DELETE_TASK   5
#define TBIMG_CHART         6
#define TBIMG_INFO          7

#endif
