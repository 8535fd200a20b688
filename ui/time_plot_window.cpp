#include "time_plot_window.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QCheckBox>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <array>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "c_locale.h"
#include "error_box.h"
#include "image_saving.h"
#include "listed_curves.h"
#include "noise_curves.h"
#include "number_text.h"
#include "open_dialog.h"
#include "painter_canvas.h"
#include "plot_image.h"
#include "plot_cursor.h"
#include "plot_keys.h"
#include "plot_frame.h"
#include "plot_list_window.h"
#include "time_measurements.h"
#include "remembered_line.h"
#include "window_style.h"

namespace corvane::ui {

namespace {

// The boxes stand in one row above the plot; the cursor line below it.
constexpr int BoxRowTop = 8;
constexpr int PlotTop = 38;
constexpr int CursorLineHeight = 20;

// The responses the context menu offers, in its order.
struct ResponseItem {
    const char* objectName;
    const char* caption;
    ResponseChoice choice;
};
constexpr std::array<ResponseItem, 3> ResponseItems{{
    {"Respostadonetlist1", "Resposta do netlist", ResponseChoice::FromNetlist},
    {"Respostaaoimpulso1", "Resposta ao impulso", ResponseChoice::Impulse},
    {"Respostaaodegrau1", "Resposta ao degrau", ResponseChoice::Step},
}};

QString numberText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", value);
    return QString::fromLatin1(text);
}

}  // namespace

TimePlotArea::TimePlotArea(QWidget* parent, TimePlotWindow& form)
    : CanvasArea(parent,
                 [&form](PlotCanvas& canvas, int width, int height) {
                     form.paintOn(canvas, width, height);
                 }),
      form_(form) {}

void TimePlotArea::mouseMoveEvent(QMouseEvent* event) {
    form_.showCursorAt(static_cast<int>(event->position().x()));
    QWidget::mouseMoveEvent(event);
}

void TimePlotArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        form_.placeMarkerAt(static_cast<int>(event->position().x()),
                            static_cast<int>(event->position().y()));
    }
    QWidget::mouseReleaseEvent(event);
}

void TimePlotArea::leaveEvent(QEvent* event) {
    form_.showCursorAt(-1);
    QWidget::leaveEvent(event);
}

TimePlotWindow::TimePlotWindow(ErrorBox& errorBox, AnalysisLog& log, Plotter& plotter)
    : errorBox_(errorBox), log_(log), plotter_(plotter) {
    setUpSecondaryWindow(*this, "Form6", QStringLiteral("Resposta no tempo"));
    setFocusPolicy(Qt::StrongFocus);

    Label1 = addLabel(this, "Label1", QStringLiteral("Tempo inicial"), {8, BoxRowTop + 3, 80, 17});
    Etmin = addEditBox(this, "Etmin", {90, BoxRowTop, 110, 21});
    Label2 = addLabel(this, "Label2", QStringLiteral("Tempo final"), {212, BoxRowTop + 3, 72, 17});
    Etmax = addEditBox(this, "Etmax", {286, BoxRowTop, 110, 21});
    Label3 = addLabel(this, "Label3", QStringLiteral("Pontos"), {408, BoxRowTop + 3, 48, 17});
    Epontos = addEditBox(this, "Epontos", {458, BoxRowTop, 70, 21});
    Epontos->setText(QString::number(DefaultTimePoints));
    for (QLineEdit* edit : {Etmin, Etmax, Epontos}) {
        connect(edit, &QLineEdit::returnPressed, this, errorBox.command([this] { applyBoxes(); }));
    }

    Grafico = new TimePlotArea(this, *this);
    Lcursor = addLabel(this, "Lcursor", QString(), {});

    CBmedidas = addCheckBox(this, "CBmedidas", QStringLiteral("Medidas"),
                            {540, BoxRowTop + 2, 80, 17}, false);
    CBmedidas->setToolTip(QStringLiteral("O valor final, o pico, o sobressinal e os tempos de "
                                         "subida e de acomodação (2 %) de cada curva"));
    // Over the frame's top left corner, as the frequency window's values; it scrolls when
    // many curves are measured.
    Mmedidas = new QPlainTextEdit(Grafico);
    Mmedidas->setObjectName(QStringLiteral("Mmedidas"));
    Mmedidas->setReadOnly(true);
    Mmedidas->setFont(render::plotFont());
    Mmedidas->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette palette = Mmedidas->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    Mmedidas->setPalette(palette);
    Mmedidas->setGeometry(LeftMargin + 4, TopMargin + 4, 300, 100);
    Mmedidas->hide();
    connect(CBmedidas, &QCheckBox::toggled, this, errorBox.command([this] { showMeasures(); }));

    const ImageSaveMenu imageMenu = addImageSaveMenu(this, QStringLiteral("tempo.png"));
    PopupMenu1 = imageMenu.menu;
    Salvarimagem1 = imageMenu.saveImage;
    SaveDialog1 = imageMenu.dialog;
    Salvarimagemclara1 = imageMenu.saveLightImage;
    connect(Salvarimagem1, &QAction::triggered, this,
            errorBox.command([this] { Salvarimagem1Click(); }));
    connect(Salvarimagemclara1, &QAction::triggered, this,
            errorBox.command([this] { Salvarimagem1Click(render::ImageBackground::Light); }));
    // The top row is full: the choice of the response stands in the context menu.
    PopupMenu1->addSeparator();
    auto* responses = new QActionGroup(this);
    for (std::size_t i = 0; i < ResponseItems.size(); ++i) {
        QAction* action = PopupMenu1->addAction(QString::fromUtf8(ResponseItems[i].caption));
        action->setObjectName(QString::fromLatin1(ResponseItems[i].objectName));
        action->setCheckable(true);
        action->setChecked(ResponseItems[i].choice == ResponseChoice::FromNetlist);
        responses->addAction(action);
        connect(action, &QAction::triggered, this, errorBox.command([this] {
                    if (count_ > 0) showResponses();
                }));
        responseActions_[i] = action;
    }
    Respostadonetlist1 = responseActions_[0];
    Respostaaoimpulso1 = responseActions_[1];
    Respostaaodegrau1 = responseActions_[2];

    placeWindow(*this, {884, 336}, {696, 520});
}

void TimePlotWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int plotHeight = std::max(0, height() - PlotTop - CursorLineHeight);
    Grafico->setGeometry(0, PlotTop, width(), plotHeight);
    Lcursor->setGeometry(8, PlotTop + plotHeight + 2, std::max(0, width() - 16),
                         CursorLineHeight - 4);
}

void TimePlotWindow::paintOn(PlotCanvas& canvas, int width, int height) const {
    drawTimePlot(canvas, width, height, range_, curves_);
    drawTimeMarkers(canvas, width, height, range_, markers_, responses_);
}

void TimePlotWindow::placeMarkerAt(int x, int y) {
    ScopedCLocale locale;
    const std::optional<TimeMarker> marker =
        timeMarkerAt(x, y, Grafico->width(), Grafico->height(), range_, responses_);
    if (!marker) return;
    if (markers_.size() == MaxMarkers) markers_.erase(markers_.begin());
    markers_.push_back(*marker);
    log_.print("Marcador: %s", timeMarkerText(*marker, responses_).c_str());
    Grafico->update();
}

// The list is read afresh: the frequency plot's data and view stay as they were.
void TimePlotWindow::openFrom(PlotListWindow& list) {
    // Result files are written with "." whatever the user's locale.
    ScopedCLocale locale;
    PlotCurves curves{};
    std::array<std::string, MaxCurves + 1> files{};
    std::string message;
    AnalysisLog listLog = rememberingLastLine(log_, message);
    const std::optional<int> count = readListedCurves(list.listText(), curves, listLog, &files);
    const bool drawable =
        count && refuseDensityLines(curves, *count, files, NoTimeResponse, listLog);
    list.showMessage(drawable ? std::string() : message);
    if (!drawable) return;
    showCurves(curves, *count, files);
}

void TimePlotWindow::showCurves(const PlotCurves& functions, int count,
                        const std::array<std::string, MaxCurves + 1>& files) {
    functions_ = functions;
    count_ = count;
    files_ = files;
    showResponses();
}

ResponseChoice TimePlotWindow::responseChoice() const {
    for (std::size_t i = 0; i < ResponseItems.size(); ++i) {
        if (responseActions_[i]->isChecked()) return ResponseItems[i].choice;
    }
    return ResponseChoice::FromNetlist;
}

void TimePlotWindow::showResponses() {
    ScopedCLocale locale;
    PlotCurves functions = functions_;
    const CurveMask refused = convertListedCurves(functions, count_, files_, responseChoice(), log_);
    responses_ = computeListedTimeResponses(functions, count_, files_, log_, refused);
    markers_.clear();
    range_ = TimeRange{0.0, responses_.endTime};
    resample();
    showMeasures();
    showWindow(*this);
}

void TimePlotWindow::showMeasures() {
    if (!CBmedidas->isChecked()) {
        Mmedidas->hide();
        return;
    }
    ScopedCLocale locale;
    QStringList lines;
    AnalysisLog measures([&](std::string_view line) {
        lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        log_.print("%.*s", static_cast<int>(line.size()), line.data());
    });
    for (std::size_t i = 0; i < responses_.curves.size(); ++i) {
        const ListedTimeResponse& curve = responses_.curves[i];
        if (!curve.shown) continue;
        listTimeMeasures(measures, static_cast<int>(i) + 1,
                         measureTimeResponse(curve.x, DefaultSettlingBand), DefaultSettlingBand);
    }
    if (lines.isEmpty()) lines << QStringLiteral("Nenhuma curva desenhada");
    Mmedidas->setPlainText(lines.join(QLatin1Char('\n')));
    // As wide and tall as its lines, up to most of the plot's width and half its height.
    const QFontMetrics metrics(Mmedidas->document()->defaultFont());
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int chrome = 2 * (Mmedidas->frameWidth() +
                            static_cast<int>(std::ceil(Mmedidas->document()->documentMargin())));
    // A line of the text edit takes a pixel more than the font's spacing; the slack
    // keeps the scroll bars away while everything fits.
    const int lineHeight = metrics.lineSpacing() + 1;
    const int width = std::min(widest + chrome + 12, Grafico->width() - LeftMargin - 120);
    const int height = std::min(static_cast<int>(lines.size()) * lineHeight + chrome + 4,
                                Grafico->height() / 2);
    Mmedidas->resize(std::max(width, 100), std::max(height, lineHeight + chrome));
    const auto scrollWhen = [](bool cut) { return cut ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff; };
    Mmedidas->setHorizontalScrollBarPolicy(scrollWhen(width < widest + chrome + 12));
    Mmedidas->setVerticalScrollBarPolicy(
        scrollWhen(height < static_cast<int>(lines.size()) * lineHeight + chrome + 4));
    Mmedidas->show();
}

// Numbers in the boxes and the log read as everywhere in the program: "." or "," typed,
// the netlist's suffixes, "." shown. A refusal is shown in the window's status line too,
// since the window may hide the log; the pointer's next reading replaces it.
void TimePlotWindow::applyBoxes() {
    ScopedCLocale locale;
    std::string refusal;
    AnalysisLog log = rememberingLastLine(log_, refusal);
    const auto shown = [&] { Lcursor->setText(QString::fromStdString(refusal)); };
    const auto readBox = [&](QLineEdit* edit, const char* caption) -> std::optional<double> {
        const std::string text = edit->text().toStdString();
        const std::optional<double> value = parseBoxNumber(text);
        if (!value) log.print("Valor inválido em \"%s\": %s", caption, text.c_str());
        return value;
    };
    const std::optional<double> tmin = readBox(Etmin, "Tempo inicial");
    if (!tmin) return shown();
    const std::optional<double> tmax = readBox(Etmax, "Tempo final");
    if (!tmax) return shown();
    const std::optional<long long> points = parseWholeNumber(Epontos->text().toStdString());
    if (!points || *points < MinTimePoints || *points > MaxTimePoints) {
        log.print("Número inválido de pontos (de %d a %d)", MinTimePoints, MaxTimePoints);
        return shown();
    }
    if (!(*tmax > *tmin)) {
        log.print("O tempo final (%g s) deve ser maior que o inicial (%g s)", *tmax, *tmin);
        return shown();
    }
    range_.tmin = *tmin;
    range_.tmax = *tmax;
    points_ = static_cast<int>(*points);
    resample();
}

void TimePlotWindow::resample() {
    curves_ = sampleTimeCurves(responses_, range_, points_);
    logOverflows(curves_, log_);
    fitVerticalRange(range_, curves_);
    Etmin->setText(numberText(range_.tmin));
    Etmax->setText(numberText(range_.tmax));
    Lcursor->clear();
    Grafico->update();
}

void TimePlotWindow::keyPressEvent(QKeyEvent* event) {
    // M clears the markers, as in the frequency plot.
    if (event->key() == Qt::Key_M && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        markers_.clear();
        Grafico->update();
        return;
    }
    const int keyCode = plotKeyCode(event->key(), event->modifiers());
    if (keyCode == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    errorBox_.run([this, keyCode] { FormKeyDown(keyCode); });
}

// A new time window needs new samples; a new value window only a repaint.
void TimePlotWindow::FormKeyDown(int keyCode) {
    ScopedCLocale locale;
    const TimeRange before = range_;
    if (!applyTimeKey(keyCode, range_)) return;
    if (range_.tmin != before.tmin || range_.tmax != before.tmax) {
        const TimeRange values = range_;
        curves_ = sampleTimeCurves(responses_, range_, points_);
        logOverflows(curves_, log_);
        Etmin->setText(numberText(range_.tmin));
        Etmax->setText(numberText(range_.tmax));
        range_.vmin = values.vmin;
        range_.vmax = values.vmax;
    }
    Grafico->update();
    // The samples moved under a pointer that stands still: the line reads them at once.
    if (pointerX_) showCursorAt(*pointerX_);
}

void TimePlotWindow::showCursorAt(int x) {
    const int sample = sampleAtColumn(x, Grafico->width(), range_, points_);
    if (sample < 0) {
        Lcursor->clear();
        pointerX_.reset();
        return;
    }
    pointerX_ = x;
    ScopedCLocale locale;
    const double t = sampleTime(range_, sample, points_);
    std::string line = "t = " + valueWithUnit(t, "s");
    for (std::size_t k = 0; k < curves_.size(); ++k) {
        const std::vector<double>& values = curves_[k].values;
        // A curve past its overflow has no value to read there.
        if (static_cast<std::size_t>(sample) >= values.size() ||
            !std::isfinite(values[static_cast<std::size_t>(sample)]))
            continue;
        char text[64];
        std::snprintf(text, sizeof text, "%.6g", values[static_cast<std::size_t>(sample)]);
        line += "   " + std::to_string(k + 1) + ": " + text;
    }
    Lcursor->setText(QString::fromStdString(line));
}

void TimePlotWindow::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

void TimePlotWindow::Salvarimagem1Click(render::ImageBackground background) {
    if (!SaveDialog1->execute()) return;
    const std::string path = QFile::encodeName(SaveDialog1->fileName()).toStdString();
    if (!imageSparesInputs(log_, path, plotter_)) return;
    const auto paint = [this](PlotCanvas& canvas) {
        paintOn(canvas, Grafico->width(), Grafico->height());
    };
    const render::ImageSaveStatus status = render::savePaintedImage(
        path, Grafico->width(), Grafico->height(), "Resposta no tempo", paint, background);
    logImageSave(log_, status, path);
}

}  // namespace corvane::ui
