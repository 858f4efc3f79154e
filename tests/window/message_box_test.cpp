// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The modal message box: icon by style, its own title or the application's,
// one OK button that Return and Escape answer too, the text shown as given.

#include "window/message_box.h"

#include <gtest/gtest.h>

#include <QWidget>

#include "box_answerer.h"
#include "qt_printers.h"
#include "station/operator_texts.h"

namespace scanforms::testing {
namespace {

TEST(MessageBox, StyleGivesTheIconAndTitleFallsBackToTheApplications) {
    struct Case {
        BoxStyle style;
        std::optional<std::string> title;
        QMessageBox::Icon icon;
        const char* shownTitle;
    };
    const Case cases[] = {
        {BoxStyle::Plain, std::nullopt, QMessageBox::NoIcon, "Scan Forms"},
        {BoxStyle::Exclamation, "Warning!", QMessageBox::Warning, "Warning!"},
        {BoxStyle::Information, std::nullopt, QMessageBox::Information, "Scan Forms"},
        {BoxStyle::Information, "Press scanner END button.", QMessageBox::Information,
         "Press scanner END button."},
    };
    QWidget owner;
    owner.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        BoxAnswerer answerer;
        window::showMessageBox(&owner, "Multiple marks at position(s):   3,  <b>19</b>,  ", c.style,
                               c.title);
        ASSERT_EQ(answerer.seen.size(), 1u);
        const SeenBox& box = answerer.seen[0];
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_EQ(box.title, c.shownTitle);
        EXPECT_EQ(box.text, "Multiple marks at position(s):   3,  <b>19</b>,  ");
        EXPECT_EQ(box.format, Qt::PlainText) << "a scanner's text is never markup";
        EXPECT_EQ(box.buttonCount, 1);
        EXPECT_EQ(box.standardButtons, QMessageBox::Ok);
    }
}

TEST(MessageBox, ReturnAndEscapeAnswerIt) {
    for (const auto answer : {BoxAnswerer::Answer::PressReturn, BoxAnswerer::Answer::PressEscape}) {
        SCOPED_TRACE(static_cast<int>(answer));
        BoxAnswerer answerer;
        answerer.answer = answer;
        // A key that did not answer the box would leave it open until the
        // answerer's deadline closes it and fails the test.
        window::showMessageBox(nullptr, kEndOfBatchBox, BoxStyle::Plain, std::nullopt);
        EXPECT_EQ(answerer.seen.size(), 1u);
    }
}

TEST(MessageBox, TextBytesShowAsLatin1) {
    BoxAnswerer answerer;
    window::showMessageBox(nullptr, kFailurePrefix + std::string("Fichier \xE9tait"),
                           BoxStyle::Information, std::nullopt);
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].text, kFailurePrefix + QString::fromUtf8("Fichier \xC3\xA9tait"));
}

}  // namespace
}  // namespace scanforms::testing
