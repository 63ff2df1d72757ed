// The pictures the editor draws the field with: the block sheet, one coin and the player.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdint>

namespace zarp::editor {

struct EditorSheets {
    QImage block;   // 384 x 96, the game's block sheet
    QImage coin;    // 16 x 16, the first cell of the coin sheet
    QImage player;  // 32 x 16, of which the editor shows the top-left 16 x 16
};

// Loads the sheets embedded at build time; a sheet that is missing is drawn instead, so the
// editor works without the generated pictures.
EditorSheets LoadEditorSheets();

// The block sheet cell the editor shows for a type; an empty rectangle for an unknown type.
QRect EditorBlockCell(int32_t type);

}  // namespace zarp::editor
