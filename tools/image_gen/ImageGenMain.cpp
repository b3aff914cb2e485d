// image-gen <out-folder>: draws every image of the editor and writes it as PNG, the same bytes
// on every run (no time stamps or text chunks; fonts loaded from the shipped files).
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>

#include "resources/images/ImageIds.h"
#include "tools/image_gen/ImageGen.h"

namespace {

constexpr const char* kBoldFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr const char* kRegularFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

QString LoadFamily(const char* file)
{
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.front();
}

bool Write(const QDir& folder, const QString& name, const QImage& image)
{
    QImageWriter writer(folder.filePath(name), "png");
    if (!writer.write(image)) {
        std::fprintf(stderr, "image-gen: cannot write %s: %s\n", qPrintable(folder.filePath(name)),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

QString IdName(int id)
{
    return QString::number(id) + QStringLiteral(".png");
}

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: image-gen <out-folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "image-gen: cannot make %s\n", argv[1]);
        return 1;
    }
    const QString bold = LoadFamily(kBoldFontFile);
    const QString regular = LoadFamily(kRegularFontFile);
    if (bold.isEmpty() || regular.isEmpty()) {
        std::fprintf(stderr, "image-gen: DejaVu Sans is missing (install fonts-dejavu-core)\n");
        return 1;
    }

    using ImageGen::StripLook;
    const std::vector<std::pair<QString, std::function<QImage()>>> images = {
        {IdName(ImageId::kToolbarDisabled), [] { return ImageGen::ToolbarStrip(StripLook::Disabled); }},
        {IdName(ImageId::kToolbarNormal), [] { return ImageGen::ToolbarStrip(StripLook::Normal); }},
        {IdName(ImageId::kToolbarMuted), [] { return ImageGen::ToolbarStrip(StripLook::Muted); }},
        {IdName(ImageId::kConnectionIcon), [] { return ImageGen::ConnectionIcon(); }},
        {IdName(ImageId::kAboutPicture), [&] { return ImageGen::AboutPicture(bold, regular); }},
        {IdName(ImageId::kMixerSliderThumb), [] { return ImageGen::MixerSliderThumb(); }},
        {IdName(ImageId::kOutputIndicator), [] { return ImageGen::OutputIndicator(); }},
        {IdName(ImageId::kLegendIcons), [] { return ImageGen::LegendIcons(); }},
        {IdName(ImageId::kLegendButton), [] { return ImageGen::LegendButton(); }},
    };
    bool ok = true;
    for (const auto& [name, draw] : images) {
        ok = Write(folder, name, draw()) && ok;
    }
    for (int size : ImageId::kIconSizes) {
        ok = Write(folder, QStringLiteral("icon-%1.png").arg(size), ImageGen::ProgramIcon(size)) && ok;
    }
    return ok ? 0 : 1;
}
