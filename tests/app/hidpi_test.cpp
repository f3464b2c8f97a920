#include "game_fixture.h"

#include "app/about_window.h"
#include "app/field_label.h"
#include "engine/spielklasse.h"
#include "platform/cursors.h"
#include "platform/resource_module.h"
#include "presentation/graphic_style.h"

#include <QApplication>
#include <QLabel>

// These run with QT_SCALE_FACTOR=2, as a 2x desktop has it: the layout stays in logical pixels,
// and the standard style's pictures, the cursors and the window icon come drawn for twice the scale.
TEST_F(GameFolder, AtTwiceTheScaleEveryPictureIsDrawnForItAndTheLayoutStays) {
    ASSERT_EQ(qGuiApp->devicePixelRatio(), 2.0) << "run with QT_SCALE_FACTOR=2";
    std::unique_ptr<TForm1> window = start();
    window->show();
    set_board(*window->engine, {"R"});
    const std::unique_ptr<ResourceModule> style = ResourceModule::open("standard highcolor.lvr");
    const QImage main1 = *style->bitmap("main1");
    EXPECT_EQ(window->centralWidget()->size(), QSize(main1.width(), main1.height() + style->bitmap("main2")->height()));
    const QImage empty_field = window->field_labels[1]->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(empty_field, style->bitmap("empty@2x")->convertToFormat(QImage::Format_RGB32));
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->pixmap().isNull()) continue;
        EXPECT_EQ(label->pixmap().devicePixelRatio(), 2.0) << label->objectName().toStdString();
    }
    window->about_window->show();
    EXPECT_EQ(window->about_window->findChild<QLabel*>("Image1")->pixmap().devicePixelRatio(), 2.0);
    for (int cursor = 1; cursor <= 3; ++cursor) EXPECT_EQ(board_cursor(cursor).pixmap().devicePixelRatio(), 2.0);
    EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(64, 64)));
}
