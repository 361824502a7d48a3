// Screen tests: the windows as real Qt widgets on an offscreen screen,
// rendered to PNG files in the build tree and checked for ink where their
// controls are.
//
// A test program that links zbr_test_screens gets one Qt screen for the
// whole run (a GoogleTest environment, QT_QPA_PLATFORM=offscreen unless set).
//
//   const std::string file = zbr_test::ScreenFile("dialog-screens", "FormObject.png");
//   ASSERT_TRUE(ui::qt::RenderToPng(f, file));
//   QImage img(QString::fromStdString(file));
//   EXPECT_GT(zbr_test::InkIn(img, zbr_test::AreaOf(f, f.Label1)), 15);
#pragma once
#include <QImage>
#include <QRect>
#include <string>

#include "ui/Ui.h"

namespace zbr_test {

// The path of the file `name` in the folder `folder` of the build tree; the
// folder is made when missing.
std::string ScreenFile(const std::string& folder, const std::string& name);

// Dark pixels (grey value below `darkBelow`: text, lines) inside a rectangle
// of the image; the part outside the image counts nothing.
int InkIn(const QImage& img, const QRect& r, int darkBelow = 100);

// Where a control lies in the rendered image of its form: frame, caption
// and menu bar included, through its parents and the scroll positions of
// the scroll boxes it sits in.
QRect AreaOf(ui::Form& f, ui::Control& c);

}  // namespace zbr_test
