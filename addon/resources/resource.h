#pragma once
// Resource ids of the plug-in: bitmaps, menus, strings and dialog templates.

// Check and radio pictures of the grid, 16 x 16 pixels: check unset/set, radio unset/set.
#define IDB_CHECK_OFF 951
#define IDB_CHECK_ON 952
#define IDB_RADIO_OFF 953
#define IDB_RADIO_ON 954
// The same at 32 x 32 pixels for displays of 192 pixels per inch and more.
#define IDB_CHECK_OFF_L 955
#define IDB_CHECK_ON_L 956
#define IDB_RADIO_OFF_L 957
#define IDB_RADIO_ON_L 958
// Their disabled looks.
#define IDB_CHECK_OFF_D 961
#define IDB_CHECK_ON_D 962
#define IDB_RADIO_OFF_D 963
#define IDB_RADIO_ON_D 964
#define IDB_CHECK_OFF_DL 965
#define IDB_CHECK_ON_DL 966
#define IDB_RADIO_OFF_DL 967
#define IDB_RADIO_ON_DL 968

// The picture menu: one popup with a placeholder item that the menu class replaces.
#define IDR_PICTURE_MENU 419
#define ID_PICTURE_MENU_PLACEHOLDER 420

// The grid's Cut / Copy / Paste menu: command ids and string ids are the same numbers.
#define IDS_GRID_CUT 1095
#define IDS_GRID_COPY 1096
#define IDS_GRID_PASTE 1097

// The part attribute dialog: the grid takes the place of the placeholder static.
#define IDD_CONT_ATR 223
#define IDC_CONT_ATR_GRID 1011

// The text catalogue of the parts (CPartsDlg).
#define IDD_PARTS 222
#define IDC_PARTS_FILTER 224
#define IDC_PARTS_FILTER_APPLY 225
#define IDC_PARTS_CELL 1011
#define IDC_PARTS_STATUS 1012
#define IDC_PARTS_GROUPS 1021
#define IDC_PARTS_ITEMS 1022

// The picture catalogue of the parts (PvxCPartsDlg): the type list, four picture buttons and
// the commands of the sibling menu.
#define IDD_PVX_PARTS 1101
#define IDC_PVX_CAPTION1 1102
#define IDC_PVX_CAPTION2 1103
#define IDC_PVX_TYPES 1104
#define IDC_PVX_BUTTON1 1105
#define IDC_PVX_BUTTON4 1108
#define ID_PVX_SIBLING_FIRST 3001
#define ID_PVX_SIBLING_LAST 3016

// The condition dialog: picture buttons, heading, grid placeholder, list captions and lists.
#define IDD_CONT_COND 220
#define IDC_COND_PICTURE1 1001 // to 1006
#define IDC_COND_HEADING 1011
#define IDC_COND_GRID 1012
#define IDC_COND_LIST_CAPTION1 1013 // to 1015
#define IDC_COND_LIST1 1021         // to 1023

// The layer creation dialog.
#define IDD_LAYER_INFOR 218
#define IDC_LAYER_ABSOLUTE_SCALE 202
#define IDC_LAYER_FROZEN 203
#define IDC_LAYER_LOCKED 204
#define IDC_LAYER_OFF 205
#define IDC_LAYER_NOT_PLOTTED 206
#define IDC_LAYER_COLOR 209
#define IDC_LAYER_LINETYPE 210
#define IDC_LAYER_LINEWEIGHT 211
#define IDC_LAYER_DESCRIPTION 214
#define IDC_LAYER_NAME 215
#define IDC_LAYER_SCALE 216
#define IDC_LAYER_SCALE_SPIN 217

// The property settings dialog of the hidden-line command.
#define IDD_SETTING_PROPERTY 219
#define IDC_PROPERTY_CURRENT 200
#define IDC_PROPERTY_PICK 201
#define IDC_PROPERTY_COLOR 207
#define IDC_PROPERTY_LAYER 208
#define IDC_PROPERTY_LINETYPE 212
#define IDC_PROPERTY_LINEWEIGHT 213
