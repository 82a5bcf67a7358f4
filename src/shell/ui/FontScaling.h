#pragma once

class QWidget;

namespace palvo {

// Scales the fonts of a new window's direct child controls for a screen that
// is not at 96 dots per inch, by the window's font height over the design
// height (so a window with the design font keeps its fonts).
void ScaleFontsForScreen(QWidget& window);

} // namespace palvo
