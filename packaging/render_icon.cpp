// Renders the program's SVG icon as a square PNG of the given size, for the icon theme
// sizes that desktops look up before the scalable one.
//
//   corvane-render-icon ICON.svg SIZE OUTPUT.png
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("Uso: corvane-render-icon ICONE.svg TAMANHO SAIDA.png\n", stderr);
        return 2;
    }
    const int size = std::atoi(argv[2]);
    if (size < 1 || size > 4096) {
        std::fprintf(stderr, "corvane-render-icon: tamanho inválido: %s\n", argv[2]);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "corvane-render-icon: não foi possível ler %s\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "corvane-render-icon: não foi possível gravar %s\n", argv[3]);
        return 1;
    }
    return 0;
}
