// The quantities the plot draws against frequency (gain, phase, group delay), each
// described once: its name and unit, its colour, the edit boxes of its range with their
// captions, texts at start and command-line options, its column of the CSV table and the
// switch that hides it. The evaluation, the frame, the labels, the plot list window, the
// command line and the CSV writer all read these rows; a new quantity is a new row (plus
// its field in the parameters, the response and the table, and the place of its controls
// in the plot list window, ui/plot_list_controls.h).
#pragma once

#include <array>
#include <cstddef>

#include "frequency_response.h"
#include "plot_canvas.h"
#include "response_table.h"

namespace corvane {

/// The edit boxes of the plot list window, in the order "Plotar" reads them.
enum class PlotEditBox { Ewmin, Ewmax, Egmin, Egmax, Efmin, Efmax, Eamin, Eamax, Esegmentos };
inline constexpr std::size_t PlotEditBoxCount = 9;

/// One edit box of the plot list window, and its counterpart in the command line.
struct PlotEditBoxRow {
    PlotEditBox box;
    /// The caption of its label, which the log quotes for a value that is not a number.
    const char* caption;
    /// Its text when the program starts, which is also the command line's default.
    const char* initialText;
    /// The command-line option that stands for it.
    const char* option;
    /// The parameter it sets; none for the segment count, which is a whole number.
    double PlotParameters::*parameter;
};

/// The switch that hides a quantity's curves: a check box of the plot list window, an
/// option of the command line. The gain has none, it is always drawn.
struct PlotQuantityCheckBox {
    /// The command-line option that unchecks it.
    const char* hideOption;
};

enum class PlotQuantity { Gain, Phase, Delay };

/// The pattern of a curve's line, drawn by the plot as solid pieces along the curve, so
/// that it runs on across the short segments between grid points.
enum class LinePattern { Solid, Dashed, Dotted };
inline constexpr std::size_t PlotQuantityCount = 3;

struct PlotQuantityRow {
    PlotQuantity quantity;
    /// The unit written beside the axis, in the colour of the curves.
    const char* unit;
    Colour colour;
    PlotEditBoxRow minBox;
    PlotEditBoxRow maxBox;
    /// Where the evaluation leaves it and where the table keeps it.
    double CurveResponse::*response;
    ResponseTable::Rows<double> ResponseTable::*rows;
    /// Its column in the CSV table of the command line.
    const char* csvColumn;
    /// Null when the quantity is always drawn.
    const PlotQuantityCheckBox* checkBox;
    /// The period of a quantity that the evaluation wraps into one turn (the phase, into
    /// (-180°, 180°]); 0 for the others.
    double wrapPeriod = 0.0;
    /// How its lines are drawn when each curve has its own colour: the quantities of one
    /// curve then share the colour and differ by the line.
    LinePattern perCurvePattern = LinePattern::Solid;
};

inline constexpr PlotEditBoxRow FrequencyMinBox{
    PlotEditBox::Ewmin, "Frequência mínima", "0.1", "--wmin",
    &PlotParameters::wmin};
inline constexpr PlotEditBoxRow FrequencyMaxBox{
    PlotEditBox::Ewmax, "Frequência máxima", "5", "--wmax",
    &PlotParameters::wmax};
inline constexpr PlotEditBoxRow SegmentsBox{
    PlotEditBox::Esegmentos, "Segmentos", "300", "--segmentos", nullptr};

inline constexpr PlotQuantityCheckBox PhaseCheckBox{"--sem-fase"};
inline constexpr PlotQuantityCheckBox DelayCheckBox{"--sem-atraso"};

/// The rows in the order the curves of one point are drawn; the range labels stack in
/// this order from the top and bottom edges.
inline constexpr std::array<PlotQuantityRow, PlotQuantityCount> PlotQuantities{{
    {PlotQuantity::Gain, "dB", White,
     {PlotEditBox::Egmin, "Módulo mínimo (dB)", "-60", "--gmin",
      &PlotParameters::gmin},
     {PlotEditBox::Egmax, "Módulo máximo (dB)", "20", "--gmax",
      &PlotParameters::gmax},
     &CurveResponse::gain, &ResponseTable::gain, "ganho_db", nullptr},
    {PlotQuantity::Phase, "°", Green,
     {PlotEditBox::Efmin, "Fase mínima (graus)", "-180", "--fmin",
      &PlotParameters::fmin},
     {PlotEditBox::Efmax, "Fase máxima (graus)", "180", "--fmax",
      &PlotParameters::fmax},
     &CurveResponse::phase, &ResponseTable::phase, "fase_graus", &PhaseCheckBox, 360.0,
     LinePattern::Dashed},
    {PlotQuantity::Delay, "s", Red,
     {PlotEditBox::Eamin, "Atraso de grupo mínimo (s)", "-10", "--amin",
      &PlotParameters::amin},
     {PlotEditBox::Eamax, "Atraso de grupo máximo (s)", "40", "--amax",
      &PlotParameters::amax},
     &CurveResponse::delay, &ResponseTable::delay, "atraso_s", &DelayCheckBox, 0.0,
     LinePattern::Dotted},
}};

namespace detail {
constexpr std::array<PlotEditBoxRow, PlotEditBoxCount> collectEditBoxes() {
    std::array<PlotEditBoxRow, PlotEditBoxCount> boxes{};
    std::size_t n = 0;
    boxes[n++] = FrequencyMinBox;
    boxes[n++] = FrequencyMaxBox;
    for (const PlotQuantityRow& q : PlotQuantities) {
        boxes[n++] = q.minBox;
        boxes[n++] = q.maxBox;
    }
    boxes[n++] = SegmentsBox;
    return boxes;
}

constexpr bool editBoxesInEnumOrder(const std::array<PlotEditBoxRow, PlotEditBoxCount>& boxes) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (static_cast<std::size_t>(boxes[i].box) != i) return false;
    }
    return true;
}

constexpr bool quantitiesInEnumOrder() {
    for (std::size_t i = 0; i < PlotQuantities.size(); ++i) {
        if (static_cast<std::size_t>(PlotQuantities[i].quantity) != i) return false;
    }
    return true;
}
}  // namespace detail

static_assert(detail::quantitiesInEnumOrder(),
              "PlotQuantity must list the quantities in the order of PlotQuantities");

/// Every edit box, in the order "Plotar" reads them and the window stacks them.
inline constexpr std::array<PlotEditBoxRow, PlotEditBoxCount> PlotEditBoxes =
    detail::collectEditBoxes();
static_assert(detail::editBoxesInEnumOrder(PlotEditBoxes),
              "PlotEditBox must list the boxes in the order of PlotEditBoxes");

inline const PlotEditBoxRow& editBoxRow(PlotEditBox box) {
    return PlotEditBoxes[static_cast<std::size_t>(box)];
}

inline const PlotQuantityRow& quantityRow(PlotQuantity quantity) {
    return PlotQuantities[static_cast<std::size_t>(quantity)];
}

/// The texts of every edit box at start, in PlotEditBox order.
template <class Text>
std::array<Text, PlotEditBoxCount> initialEditTexts() {
    std::array<Text, PlotEditBoxCount> texts{};
    for (std::size_t i = 0; i < PlotEditBoxCount; ++i)
        texts[i] = PlotEditBoxes[i].initialText;
    return texts;
}

}  // namespace corvane
