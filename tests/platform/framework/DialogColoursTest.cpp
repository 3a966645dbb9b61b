// Disabled and read-only text in every dialog template reads against the
// dialog's face: a pixel test of the rendered controls.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <map>

#include "platform/framework/Dialog.h"
#include "platform/framework/DialogColours.h"

namespace {
const QColor kFace(192, 192, 192);

// The contrast of the most distinct pixel in `area` against the area's most
// common colour, its background.
double TextContrast(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (const auto& [colour, count] : counts)
        if (count > most) most = count, background = colour;
    double best = 1;
    for (const auto& [colour, count] : counts) best = std::max(best, ContrastRatio(QColor(colour), QColor(background)));
    return best;
}

// Where a control draws its text, in its own coordinates.
QRect TextArea(QWidget* control) {
    if (auto* check = qobject_cast<QCheckBox*>(control)) {
        QStyleOptionButton option;
        option.initFrom(check);
        return check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
    }
    if (auto* radio = qobject_cast<QRadioButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        return radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
    }
    // Inside an edit's frame.
    if (qobject_cast<QLineEdit*>(control)) return control->rect().adjusted(3, 3, -3, -3);
    return control->rect();
}

std::vector<int> TemplateIds() {
    std::vector<int> ids;
    QDirIterator files(":/dialogs", {"*.json"});
    while (files.hasNext()) ids.push_back(QFileInfo(files.next()).baseName().toInt());
    std::sort(ids.begin(), ids.end());
    return ids;
}
}  // namespace

TEST(DialogColours, DisabledAndReadOnlyTextReadsInEveryDialog) {
    SetDialogColours(kFace, Qt::black);
    const std::vector<int> ids = TemplateIds();
    ASSERT_FALSE(ids.empty());
    for (const int id : ids) {
        DialogTemplate dialogTemplate;
        ASSERT_TRUE(DialogTemplate::Load(id, dialogTemplate)) << id;
        Dialog dialog(dialogTemplate, nullptr);
        ASSERT_TRUE(dialog.Create()) << id;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.Widget())) << id;
        // Every text a control can show, as it looks out of use: disabled,
        // and for fields also read-only with a value in them.
        std::vector<QWidget*> controls;
        for (const DialogControl& control : dialogTemplate.controls) {
            QWidget* item = control.id == -1 ? nullptr : dialog.GetDlgItem(control.id);
            if (!item || item->isHidden()) continue;
            if (auto* edit = qobject_cast<QLineEdit*>(item)) {
                edit->setText("Wg 1234 Title");
                edit->setReadOnly(true);
            } else if (auto* label = qobject_cast<QLabel*>(item)) {
                if (label->text().isEmpty()) label->setText("Wg 1234");
            } else if (!qobject_cast<QCheckBox*>(item) && !qobject_cast<QRadioButton*>(item)) {
                continue;
            }
            item->setEnabled(false);
            controls.push_back(item);
        }
        const QImage image = dialog.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (QWidget* control : controls) {
            const QRect area = TextArea(control).translated(control->mapTo(dialog.Widget(), QPoint(0, 0)))
                                   .intersected(image.rect());
            EXPECT_GE(TextContrast(image, area), 4.5)
                << "dialog " << id << ", control " << control->metaObject()->className() << " \""
                << control->property("text").toString().toStdString() << "\"";
        }
        dialog.DestroyWindow();
    }
}

TEST(DialogColours, ContrastRatioFollowsTheRelativeLuminance) {
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(Qt::white, Qt::white), 1.0, 0.01);
    // The faults this guards against: 190 grey on 192 grey, and 1.6:1.
    EXPECT_LT(ContrastRatio(QColor(190, 190, 190), kFace), 1.1);
}
