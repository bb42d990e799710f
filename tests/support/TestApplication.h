#pragma once
// The one application object of a test program. Widgets, fonts and image
// codecs need one; it runs offscreen (as under ctest) also when a test is
// started by hand, and keeps the user's own preferences out of the tests.

class QApplication;

// Creates the application on first use.
QApplication& TestApplication();
