// Every caption of the window, the text dialog and the terminal's bar fits its control, in German
// as the window was laid out and in English, whose texts are often longer; a picture of each
// window in each language, for people to look at.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "frontends/qt/qt_view.h"
#include "frontends/qt/terminal_frame.h"
#include "gui_helpers.h"
#include "ui-resources/language.h"

namespace velotrix {
namespace {

// The width a control needs to show its caption whole, or 0 for one without a caption.
int NeededWidth(const QWidget* widget) {
    const QStyle* style = widget->style();
    const auto textWidth = [widget](QString text) {
        return widget->fontMetrics().horizontalAdvance(text.remove(QLatin1Char('&')));
    };
    if (qobject_cast<const QLabel*>(widget) != nullptr ||
        qobject_cast<const QGroupBox*>(widget) != nullptr) {
        return textWidth(widget->property("text").toString() +
                         widget->property("title").toString());
    }
    if (qobject_cast<const QCheckBox*>(widget) != nullptr ||
        qobject_cast<const QRadioButton*>(widget) != nullptr) {
        const auto* button = static_cast<const QAbstractButton*>(widget);
        return textWidth(button->text()) + style->pixelMetric(QStyle::PM_IndicatorWidth) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    }
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
        return button->text().isEmpty()
                   ? 0
                   : textWidth(button->text()) + 2 * style->pixelMetric(QStyle::PM_ButtonMargin);
    }
    return 0;
}

void ExpectCaptionsFit(QWidget* window, const QString& picture) {
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() == window && widget->property("layoutIndex").isValid()) {
            EXPECT_LE(NeededWidth(widget), widget->width())
                << widget->property("text").toString().toStdString()
                << widget->property("title").toString().toStdString();
        }
    }
    // Beside the build tree's executables, where anyone can look at them.
    EXPECT_TRUE(window->grab().save(
        QDir(QCoreApplication::applicationDirPath()).filePath("../" + picture + ".png")));
}

class CaptionsFit : public ::testing::TestWithParam<msg::Language> {
  protected:
    void TearDown() override { msg::SetLanguage(msg::Language::kGerman); }
};

TEST_P(CaptionsFit, InEveryWindow) {
    msg::SetLanguage(GetParam());
    const QString language = GetParam() == msg::Language::kGerman ? "de" : "en";
    QtView view;
    test::ShowAndActivate(view.MainWindow());
    ExpectCaptionsFit(view.MainWindow(), "velotrix-window-" + language);
    view.OpenTextDialog();
    test::PumpEvents();
    ExpectCaptionsFit(view.TextDialogWidget(), "velotrix-text-dialog-" + language);
    view.CloseTextDialog();
    view.Terminal()->show();
    test::PumpEvents();
    ExpectCaptionsFit(view.Terminal(), "velotrix-terminal-" + language);
}

INSTANTIATE_TEST_SUITE_P(Languages, CaptionsFit,
                         ::testing::Values(msg::Language::kGerman, msg::Language::kEnglish),
                         [](const ::testing::TestParamInfo<msg::Language>& row) {
                             return row.param == msg::Language::kGerman ? "German" : "English";
                         });

}  // namespace
}  // namespace velotrix
