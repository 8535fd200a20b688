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
#include "symbol_list.h"
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

OptionsWindow& WindowHost::optionsWindow() const {
    return windows_->get<OptionsWindow>();
}

VariablesWindow& WindowHost::variablesWindow() const {
    return windows_->get<VariablesWindow>();
}

AnalysisOptions WindowHost::options() const {
    const OptionsWindow& form = optionsWindow();
    AnalysisOptions options;
    options.listStamps = form.CBestampas->isChecked();
    options.normalize = form.CBnorm->isChecked();
    options.listDetails = form.CBdetalhes->isChecked();
    options.listPolesAndZeros = form.CBpolos->isChecked();
    options.listMeasures = form.CBmedidas->isChecked();
    options.sizeLimitsLifted = form.CBsemlimites->isChecked();
    const QListWidget& variables = *variablesWindow().LBsel;
    for (int row = 0; row < variables.count(); ++row) {
        if (variables.item(row)->isSelected()) options.selectedVariables.push_back(row + 1);
    }
    options.symbolic.enabled = form.CBsimbolica->isChecked();
    options.symbolic.symbols = symbolic::splitSymbolList(form.Esimbolos->text().toStdString());
    options.noise = form.appliedNoise();
    options.loop = form.appliedLoop();
    options.step = form.appliedStep();
    options.tolerance = form.appliedTolerance();
    return options;
}

void WindowHost::clearVariableList() {
    variablesWindow().LBsel->clear();
}

void WindowHost::addVariable(std::string_view name) {
    variablesWindow().LBsel->addItem(
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void WindowHost::enableListResults(bool enabled) {
    variablesWindow().Button1->setEnabled(enabled);
}

void WindowHost::enableVariablesMenu() {
    mainWindow().Anlise1->setEnabled(true);
}

void WindowHost::showParameterWindows() {
    showWindow(optionsWindow());
    showWindow(variablesWindow());
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
