#pragma once

#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace vs {

// The main window's ten 80 x 60 pictures: 0 AVI video, 1 MPEG video, 2 QuickTime movie,
// 3 MP3 audio, 4 wave audio, 5 MIDI, 6 HTML page, 7 album (not used by the grid),
// 8 plain text, 9 rich text. Drawn here; no artwork from elsewhere.
QImage TypePicture(int index);

// Pictures of the library tree's nodes, 16 x 16: the library root, a closed and an open folder.
enum class TreePicture { Library, ClosedFolder, OpenFolder };
QIcon LibraryTreeIcon(TreePicture picture);

// The program's user-interface font: the desktop's, whose texts every window makes room for.
QFont ProgramFont();

// The program icon, drawn at the given size.
QIcon ProgramIcon();
QImage ProgramIconImage(int size);

// The drag cursor of the grid, 32 x 32 with the hot spot at the top left: an arrow with one
// page, or with a stack of pages when several thumbnails are dragged.
QPixmap DragCursorPicture(bool multi);

// The screen cursor registered under slot 1 to 9 (8 is the hand, 9 the grabbing hand);
// the arrow for any other slot.
QCursor CursorSlot(int slot);

}  // namespace vs
