#pragma once
// Sections of the per-user store (CUserStore) and the keys the commands remember there. They are
// kept here until the folders of their owners exist; each owner may take its own over:
//   "ZORMA_CONT_TempValue"  the placement jig (placement/)
//   "ZormaContCondDlg\"     the condition dialog, followed by the description's file name
//                           (selection/)
//   "ZORMA_HIDE"            the hidden-line commands (hide/)
//   "ZORMA_GEOMALC"         the geometric calculation (geomcalc/)

// "FreeLen" (integer, 1 = free length), "Length" (string), "Angle" (string).
inline constexpr const wchar_t* kUserSectionContTempValue = L"ZORMA_CONT_TempValue";
// The window position "X", "Y" and the last values of the controls.
inline constexpr const wchar_t* kUserSectionContCondDlgPrefix = L"ZormaContCondDlg\\";
// "IS_SETTING" (integer).
inline constexpr const wchar_t* kUserSectionHide = L"ZORMA_HIDE";
// "specificGravity" (string), "TAB" (integer bit mask).
inline constexpr const wchar_t* kUserSectionGeomCalc = L"ZORMA_GEOMALC";
