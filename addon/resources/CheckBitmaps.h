#pragma once
// The check and radio pictures of the grid, drawn at a given size on a white background (the
// colour that the cells treat as transparent).
#include "zhost/ui/bitmap.h"

enum class CheckPictureKind { CheckOff, CheckOn, RadioOff, RadioOn };

zhost::ui::Bitmap DrawCheckPicture(CheckPictureKind kind, int nSize, bool bDisabled);
