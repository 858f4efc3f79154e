// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The Scan window against the form's table: every control's name, kind,
// caption, place, size, font and colours, the tab order and the focus.

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <optional>

#include "window/sheet_motif.h"
#include "window_fixture.h"

namespace scanforms::testing {
namespace {

struct Control {
    const char* name;
    const char* kind;  // the widget class
    const char* caption;
    QRect pixels;
    const char* face;
    double points;
    bool bold;
};

const char* const kGetReady = "Get ready -- Turn scanner power switch on, load your forms.";

// The form's controls in pixels (15 twips a pixel), captions as the window
// opens after its initialization handler.
const Control kControls[] = {
    {"txtProcessing", "QPlainTextEdit", "", {96, 184, 377, 65}, "Arial", 8.25, false},
    {"StartScan", "QPushButton", "Start Scanning", {236, 328, 97, 57}, "Calibri", 12, false},
    {"Port_2", "QRadioButton", "Com3", {264, 416, 65, 25}, "Arial", 8.25, false},
    {"Port_1", "QRadioButton", "Com2", {192, 416, 65, 25}, "Arial", 8.25, false},
    {"Port_0", "QRadioButton", "Com1", {120, 416, 65, 25}, "Arial", 8.25, false},
    {"InitializeScanner",
     "QPushButton",
     "Initialize Scanner",
     {112, 328, 97, 57},
     "Calibri",
     12,
     false},
    {"Prompt", "QLabel", kGetReady, {96, 256, 377, 49}, "Arial", 9.75, true},
    {"Cancel", "QPushButton", "Done", {360, 328, 97, 57}, "Calibri", 12, false},
    {"Label1", "QLabel", "", {160, 152, 241, 25}, "MS Sans Serif", 9.75, true},
    {"W",
     "QLabel",
     "Which Communications port is your scanner cabled to?",
     {104, 456, 321, 25},
     "Arial",
     9,
     true},
    {"Port_3", "QRadioButton", "Com4", {336, 416, 65, 25}, "Arial", 8.25, false},
};

QString captionOf(const QWidget& widget) {
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(&widget)) {
        return box->toPlainText();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return button->text();
    }
    return qobject_cast<const QLabel*>(&widget)->text();
}

class ScanLayout : public WindowTest {
protected:
    void SetUp() override { open(); }
};

TEST_F(ScanLayout, WindowHasItsCaptionClientAreaPlaceAndWhiteBackground) {
    EXPECT_EQ(window->windowTitle(), "KOVA SCAN FORMS 2021 A.3");
    EXPECT_EQ(window->geometry(), QRect(110, 127, 566, 535));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the frame is fixed";
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(ScanLayout, EveryControlHasItsNameKindCaptionGeometryAndFont) {
    for (const Control& expected : kControls) {
        SCOPED_TRACE(expected.name);
        const QWidget* widget = control(expected.name);
        EXPECT_TRUE(widget->inherits(expected.kind)) << widget->metaObject()->className();
        EXPECT_EQ(captionOf(*widget), QString::fromLatin1(expected.caption));
        EXPECT_EQ(widget->geometry(), expected.pixels);
        EXPECT_TRUE(widget->isVisible());
        const QFont font = widget->font();
        EXPECT_EQ(font.family(), expected.face);
        EXPECT_DOUBLE_EQ(font.pointSizeF(), expected.points);
        EXPECT_EQ(font.weight(), expected.bold ? QFont::Bold : QFont::Normal);
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
    }
}

TEST_F(ScanLayout, PictureShowsTheSheetMotifAtNaturalSize) {
    const auto* image = control<QLabel>("Image1");
    EXPECT_EQ(image->geometry(), QRect(224, 16, 127, 127));
    EXPECT_EQ(image->pixmap().size(), QSize(127, 127));
    EXPECT_EQ(image->focusPolicy(), Qt::NoFocus);
}

TEST(SheetMotif, IsA127PixelSquareOf24BitColourWithAMarkedSheet) {
    const QImage motif = window::sheetMotif();
    EXPECT_EQ(motif.size(), QSize(127, 127));
    EXPECT_EQ(motif.format(), QImage::Format_RGB888);
    EXPECT_EQ(motif.depth(), 24);
    QSet<QRgb> colours;
    for (int y = 0; y < motif.height(); ++y) {
        for (int x = 0; x < motif.width(); ++x) {
            colours.insert(motif.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 4) << "paper, ink, pencil and timing marks";
}

TEST_F(ScanLayout, ColoursOfTextAndBackground) {
    const QColor white(255, 255, 255);
    const QColor red(255, 0, 0);
    const QColor darkBlue(0, 0, 192);
    const QColor highlightedText = QApplication::palette().color(QPalette::HighlightedText);
    struct Colours {
        const char* name;
        std::optional<QColor> text;
        std::optional<QColor> back;  // a button's face
    };
    const Colours table[] = {
        {"Prompt", white, darkBlue},
        {"Label1", red, QColor(128, 255, 255)},
        {"W", red, std::nullopt},
        {"Port_0", highlightedText, darkBlue},
        {"Port_1", highlightedText, darkBlue},
        {"Port_2", highlightedText, darkBlue},
        {"Port_3", highlightedText, darkBlue},
        {"StartScan", std::nullopt, white},
        {"InitializeScanner", std::nullopt, white},
        {"Cancel", std::nullopt, white},
    };
    for (const Colours& expected : table) {
        SCOPED_TRACE(expected.name);
        const QWidget* widget = control(expected.name);
        if (expected.text) {
            EXPECT_EQ(widget->palette().color(widget->foregroundRole()), *expected.text);
        }
        if (expected.back) {
            EXPECT_EQ(widget->palette().color(widget->backgroundRole()), *expected.back);
        }
    }
}

TEST_F(ScanLayout, PaintedBackgroundsShowOnScreen) {
    const QImage shot = window->grab().toImage();
    // A point of each control away from its text, and one of the bare window.
    struct Probe {
        const char* name;
        QColor colour;
    };
    const Probe probes[] = {
        {"Prompt", QColor(0, 0, 192)}, {"Label1", QColor(128, 255, 255)},
        {"Port_0", QColor(0, 0, 192)}, {"Port_1", QColor(0, 0, 192)},
        {"Port_2", QColor(0, 0, 192)}, {"Port_3", QColor(0, 0, 192)},
    };
    for (const Probe& probe : probes) {
        SCOPED_TRACE(probe.name);
        const QPoint corner = control(probe.name)->geometry().bottomRight() - QPoint(2, 2);
        EXPECT_EQ(shot.pixelColor(corner), probe.colour);
    }
    EXPECT_EQ(shot.pixelColor(20, 20), QColor(255, 255, 255));
    for (const char* name : {"StartScan", "InitializeScanner", "Cancel"}) {
        SCOPED_TRACE(name);
        const QColor face = shot.pixelColor(control(name)->geometry().topLeft() + QPoint(8, 8));
        EXPECT_GE(std::min({face.red(), face.green(), face.blue()}), 235) << "a white face";
    }
}

TEST_F(ScanLayout, FocusChainFollowsTheTabIndexes) {
    const QStringList tabIndexOrder{"txtProcessing", "StartScan",         "Port_2", "Port_1",
                                    "Port_0",        "InitializeScanner", "Cancel", "Port_3"};
    QWidget* first = control("txtProcessing");
    QStringList chain;
    QWidget* widget = first;
    do {
        if (widget->focusPolicy() != Qt::NoFocus) {
            chain << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    } while (widget != first && chain.size() <= tabIndexOrder.size());
    EXPECT_EQ(chain, tabIndexOrder);
    for (const char* name : {"Prompt", "Label1", "W", "Image1"}) {
        EXPECT_EQ(control(name)->focusPolicy(), Qt::NoFocus) << name;
    }
}

// The Tab key from the status box, which has the focus when the window opens:
// it follows the tab indexes and enters the Port group at its selected
// button only (at Com3, first of the group, while none is selected).
class ScanTabKey : public WindowTest {};

TEST_F(ScanTabKey, VisitsControlsInTabOrderEnteringThePortGroupOnce) {
    struct Case {
        std::optional<std::string> portFile;
        QStringList visited;
    };
    const Case cases[] = {
        {"2\r\n", {"StartScan", "Port_1", "InitializeScanner", "Cancel", "txtProcessing"}},
        {"4\r\n", {"StartScan", "InitializeScanner", "Cancel", "Port_3", "txtProcessing"}},
        {std::nullopt, {"StartScan", "Port_2", "InitializeScanner", "Cancel", "txtProcessing"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.portFile.value_or("no port file"));
        open(c.portFile);
        ASSERT_EQ(QApplication::focusWidget(), control("txtProcessing"));
        QStringList visited;
        for (qsizetype step = 0; step < c.visited.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(visited, c.visited);
    }
}

TEST(ScanFonts, AskedFacesResolveToMetricTwinsOrASansFace) {
    const QStringList families = QFontDatabase::families();
    ASSERT_TRUE(families.contains("Liberation Sans") && families.contains("Carlito"))
        << "Arial and Calibri need their metric twins: install fonts-liberation and "
           "fonts-crosextra-carlito (scripts/install-deps.sh)";
    struct Case {
        const char* asked;
        const char* resolved;  // nullptr: any sans face
    };
    for (const Case& c : {Case{"Arial", "Liberation Sans"}, Case{"Calibri", "Carlito"},
                          Case{"MS Sans Serif", nullptr}}) {
        SCOPED_TRACE(c.asked);
        QFont font(c.asked);
        font.setStyleHint(QFont::SansSerif);
        const QFontInfo info(font);
        if (c.resolved != nullptr) {
            EXPECT_EQ(info.family(), c.resolved);
        } else {
            EXPECT_FALSE(info.family().contains("Serif") && !info.family().contains("Sans"))
                << info.family().toStdString();
            EXPECT_FALSE(info.fixedPitch());
        }
    }
}

}  // namespace
}  // namespace scanforms::testing
