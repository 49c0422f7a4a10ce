// Renders the program's SVG icon as a square PNG of one size, for the hicolor theme's fixed-size
// folders: menus and panels that cannot scale an SVG look for these.
//   brisvane-render-icon <input.svg> <size> <output.png>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char* argv[]) {
    // Painting an image needs no application object, and without one the tool needs no display.
    QTextStream err(stderr);
    bool sizeOk = false;
    const int size = argc == 4 ? QString::fromLocal8Bit(argv[2]).toInt(&sizeOk) : 0;
    if (!sizeOk || size < 1 || size > 4096) {
        err << "usage: brisvane-render-icon <input.svg> <size> <output.png>\n";
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[3]);
    QSvgRenderer svg(input);
    if (!svg.isValid()) {
        err << "cannot read " << input << '\n';
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.setAspectRatioMode(Qt::KeepAspectRatio);
        svg.render(&painter, QRectF(0, 0, size, size));
    }
    if (!image.save(output, "PNG")) {
        err << "cannot write " << output << '\n';
        return 1;
    }
    return 0;
}
