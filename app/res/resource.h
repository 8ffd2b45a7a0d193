/* Identifiers of QV Velmora's Windows resources, shared by QVVelmora.rc and
   the program's code.  Plain numbers only: the resource compiler reads this
   file too.  The pictures are drawn by res/make_resources.py. */
#ifndef QVVELMORA_RESOURCE_H
#define QVVELMORA_RESOURCE_H

/* Application icon: 16, 32 and 48 pixels. */
#define IDI_APP 1005

/* About-box picture: 163 x 50 pixels, 24 bits; and twice as large
   (326 x 100) for screens of more than 96 DPI. */
#define IDB_ABOUT       1006
#define IDB_ABOUT_LARGE 1007

/* Bar colour icons, 16, 24 and 32 pixels, for the colour list of the task dialog. */
#define IDI_COLOUR_BLUE  1010
#define IDI_COLOUR_RED   1011
#define IDI_COLOUR_GREEN 1012
#define IDI_COLOUR_WHITE 1013
#define IDI_COLOUR_CYAN  1014

/* Toolbar strip: 144 x 16 pixels, 8 bits per pixel, nine 16 x 16 images on
   RGB(192,192,192).  Images, left to right: */
#define IDB_TOOLBAR        1066
#define IDB_TOOLBAR_COUNT  9
#define TBIMG_ADD_TASK     0 /* "Inserisci Task" */
#define TBIMG_INCLUDE_DAYS 1 /* "Includi giorni" */
#define TBIMG_EXCLUDE_DAYS 2 /* "Escludi giorni" */
#define TBIMG_COST         3 /* "Calcola il conto economico" */
#define TBIMG_EDIT_TASK    4
#define TBIMG_DELETE_TASK  5
#define TBIMG_CHART        6
#define TBIMG_INFO         7
#define TBIMG_CASH_FLOW    8 /* "Flusso di cassa mensile" */

/* For screens of more than 96 DPI: the same strip at 24 and 32 pixels, and
   the common controls' new, open, save and properties images (6, 7, 8, 10)
   at their places in strips of fifteen at 16, 24 and 32 pixels. */
#define IDB_TOOLBAR_24  1067
#define IDB_TOOLBAR_32  1068
#define IDB_STANDARD_16 1070
#define IDB_STANDARD_24 1071
#define IDB_STANDARD_32 1072

/* The example project the start page opens: a project file (RCDATA,
   Example.rc), the renovation of a house. */
#define IDR_EXAMPLE_PROJECT 1080

/* Commands of the main window named by the program (menu items and keys
   added beside its first menus).  They lie in the block the toolkit's
   control counter passes over, so the elements built before and after them
   keep the identifiers they have always had. */
#define IDM_PRINT              57345
#define IDM_PRINT_PREVIEW      57346
#define IDM_UNDO               57347
#define IDM_REDO               57348
#define IDM_PROJECT_PROPERTIES 57349
#define IDM_PROJECT_ADD_TASK   57350
#define IDM_PROJECT_INCLUDE    57351
#define IDM_PROJECT_EXCLUDE    57352
#define IDM_PROJECT_COST       57353
#define IDM_PROJECT_DIVIDER    57354
#define IDM_SELECTED_EDIT      57355
#define IDM_SELECTED_DELETE    57356
#define IDM_RECENT_FIRST       57357 /* the four recent files: 57357 to 57360 */
#define IDM_RECENT_DIVIDER     57361
#define IDK_SELECT_PREVIOUS    57362
#define IDK_SELECT_NEXT        57363
#define IDK_SELECT_FIRST       57364
#define IDK_SELECT_LAST        57365
#define IDK_SELECT_PAGE_UP     57366
#define IDK_SELECT_PAGE_DOWN   57367
#define IDM_EDIT_DIVIDER       57368
#define IDM_FIND               57369
#define IDM_FIND_NEXT          57370
#define IDM_VIEW_TABLE         57371
#define IDM_VIEW_DIVIDER       57372
#define IDM_ZOOM_IN            57373
#define IDM_ZOOM_OUT           57374
#define IDM_ZOOM_FIT           57375
#define IDM_GO_TODAY           57376
#define IDK_ZOOM_IN_PAD        57377
#define IDK_ZOOM_OUT_PAD       57378
#define IDK_NEXT_PANE          57379
/* Controls of the main window made after its first ones. */
#define IDC_TASK_TABLE         57380
#define IDC_SPLITTER           57381
#define IDC_TODAY_LINE         57382
#define IDM_IMPORT_PROJECT     57383 /* "Importa da XML di Microsoft Project..." */
#define IDC_COST_COPY          57384 /* "Copia" of the cost report */
#define IDM_PROJECT_CASH_FLOW  57385 /* "&Flusso di cassa mensile..." */
/* The window of the costs over time: its controls in the order Tab takes. */
#define IDC_CASH_FLOW_PERIOD_LABEL 57386
#define IDC_CASH_FLOW_PERIOD   57387
#define IDC_CASH_FLOW_TABLE    57388
#define IDC_CASH_FLOW_CHART    57389
#define IDC_CASH_FLOW_COPY     57390
#define IDC_CASH_FLOW_EXPORT   57391
#define IDC_CASH_FLOW_PRINT    57392
#define IDC_CASH_FLOW_CLOSE    57393
#define IDC_CASH_FLOW_BUTTON   57394 /* its button of the toolbar */
/* The start page and its texts and links, in the order they are made:
   57396 to 57405. */
#define IDC_START_PAGE         57395
#define IDC_START_PAGE_FIRST   57396
/* Keys that move the selected task (Alt and the arrows) and edit its row. */
#define IDK_MOVE_EARLIER       57406
#define IDK_MOVE_LATER         57407
#define IDK_END_EARLIER        57408
#define IDK_END_LATER          57409
#define IDK_EDIT_CELL          57410
/* The fields that edit a cell of the task table in place. */
#define IDC_CELL_TEXT          57411
#define IDC_CELL_NUMBER        57412
#define IDC_CELL_AMOUNT        57413
#define IDC_CELL_DATE          57414

#endif
