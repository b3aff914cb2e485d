#include "tests/support/ScreenShot.h"

#include <string>
#include <system_error>

#include <QCoreApplication>
#include <QWidget>

#include "platform/ui/drawing/ColorRef.h"
#include "platform/ui/drawing/SystemColors.h"

std::filesystem::path ScreensFolder()
{
    const std::filesystem::path folder(QUARRY_SCREENS_DIR);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

QImage RenderWidget(QWidget& widget)
{
    const bool wasHidden = !widget.isVisible();
    if (wasHidden) {
        widget.setAttribute(Qt::WA_DontShowOnScreen, true);
        widget.show();
        QCoreApplication::processEvents();
    }
    widget.ensurePolished();
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(QColor::fromRgb(platform::ToArgb32(platform::SysColor::kButtonFace)));
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    if (wasHidden) {
        widget.hide();
        widget.setAttribute(Qt::WA_DontShowOnScreen, false);
    }
    return image;
}

std::filesystem::path SaveScreenShot(QWidget& widget, std::string_view name)
{
    const std::filesystem::path path = ScreensFolder() / (std::string(name) + ".png");
    if (!RenderWidget(widget).save(QString::fromStdString(path.string()), "PNG")) {
        return {};
    }
    return path;
}
