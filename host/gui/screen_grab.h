#pragma once
// Pixels of the screen as the X server has them, read on a connection of its own. The toolkit's
// own screen reading keeps the first picture it took of the screen, which hides every later
// change; screenshots of dialogs taken one after the other need the server's current contents.
#include <vector>

namespace zorma::gui {

// The rectangle (clipped to the screen) as RGB bytes, rows from the top; false without an X
// display or when the rectangle lies off the screen.
bool grabScreen(int x, int y, int width, int height, std::vector<unsigned char>& rgb, int& outWidth,
                int& outHeight);

} // namespace zorma::gui
