#include "window_host.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>

#include "main_window.h"
#include "options_window.h"
#include "program.h"
#include "variables_window.h"
#include "symbolic_analysis.h"
#include "window_style.h"

namespace corvane::ui {

namespace {
// The dialog's bar counts in tenths of a percent.
constexpr int ProgressSteps = 1000;
}  // namespace

WindowHost::WindowHost(Program& program) : program_(program) {}

WindowHost::~WindowHost() = default;

void WindowHost::attach(Windows* windows) {
    progress_.reset();
    windows_ = windows;
}

MainWindow& WindowHost::mainWindow() const {
    return windows_->get<MainWindow>();
}

OptionsWindow& WindowHost::options() const {
    return windows_->get<OptionsWindow>();
}

VariablesWindow& WindowHost::variables() const {
    return windows_->get<VariablesWindow>();
}

bool WindowHost::listStamps() const {
    return options().CBestampas->isChecked();
}

bool WindowHost::normalize() const {
    return options().CBnorm->isChecked();
}

bool WindowHost::listDetails() const {
    return options().CBdetalhes->isChecked();
}

bool WindowHost::listPolesAndZeros() const {
    return options().CBpolos->isChecked();
}

bool WindowHost::listMeasures() const {
    return options().CBmedidas->isChecked();
}

void WindowHost::clearVariableList() {
    variables().LBsel->clear();
}

void WindowHost::addVariable(std::string_view name) {
    variables().LBsel->addItem(
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

bool WindowHost::isSelected(int k) const {
    const QListWidgetItem* entry = variables().LBsel->item(k - 1);
    return entry != nullptr && entry->isSelected();
}

void WindowHost::enableListResults(bool enabled) {
    variables().Button1->setEnabled(enabled);
}

void WindowHost::enableVariablesMenu() {
    mainWindow().Anlise1->setEnabled(true);
}

void WindowHost::showParameterWindows() {
    showWindow(options());
    showWindow(variables());
}

ListingOutcome WindowHost::afterNumericListing(const RunState& run,
                                               const NetworkFunctions& functions,
                                               AnalysisLog& log) {
    const OptionsWindow& options = this->options();
    if (!options.CBsimbolica->isChecked()) return ListingOutcome::Done;
    symbolic::SymbolicOptions symbolic;
    symbolic.symbols = symbolic::splitSymbolList(options.Esimbolos->text().toStdString());
    symbolic.memoryLimitBytes = program_.analysis().engineOptions().cacheLimitBytes;
    return symbolic::listSymbolicAnalysis(
               run, functions, symbolic, [this](int k) { return isSelected(k); }, log, this)
        .outcome;
}

WaitStatus WindowHost::processPendingEvents() {
    if (!quitting_ && !cancelled_) {
        QEventLoop loop;
        wait_ = &loop;
        woken_ = false;
        loop.exec();
        wait_ = nullptr;
        // Nothing of ours ended the loop: the application is leaving all its event loops.
        if (!woken_) quitting_ = true;
    }
    if (quitting_) return WaitStatus::Cancelled;
    if (cancelled_) {
        cancelled_ = false;
        return WaitStatus::Cancelled;
    }
    return WaitStatus::Waiting;
}

void WindowHost::endWait() {
    if (wait_) wake();
}

void WindowHost::cancelWait() {
    if (!wait_) return;
    cancelled_ = true;
    wake();
}

void WindowHost::quit() {
    quitting_ = true;
    if (wait_) wake();
}

void WindowHost::wake() {
    woken_ = true;
    wait_->exit();
}

ProgressStatus WindowHost::showProgress(double fraction) {
    if (!progress_) {
        progress_ = std::make_unique<QProgressDialog>(
            QStringLiteral("Calculando as funções de rede..."), QStringLiteral("Cancelar"), 0,
            ProgressSteps, &mainWindow());
        progress_->setObjectName(QStringLiteral("ProgressoAnalise"));
        progress_->setWindowTitle(QStringLiteral("Análise"));
        // Only "Cancelar" and the end of the program may act while the expansion runs.
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->setMinimumDuration(0);
        progress_->setAutoReset(false);
        progress_->setAutoClose(false);
        QObject::connect(progress_.get(), &QProgressDialog::canceled,
                         [this] { progressCancelled_ = true; });
    }
    if (!progress_->isVisible()) {
        progressCancelled_ = false;
        progress_->reset();
        progress_->show();
    }
    progress_->setValue(static_cast<int>(fraction * ProgressSteps));
    QCoreApplication::processEvents();
    return cancelRequested() ? ProgressStatus::Cancel : ProgressStatus::Continue;
}

bool WindowHost::cancelRequested() const {
    return progressCancelled_ || quitting_;
}

void WindowHost::endProgress() {
    if (progress_) progress_->hide();
    progressCancelled_ = false;
}

}  // namespace corvane::ui
