#pragma once

#include "app/main_window.h"
#include "engine_fixture.h"
#include "modal_guard.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A copy of the runnable game folder as the working directory and an empty config folder for
// the store, made fresh for every test.
class GameFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<TForm1> start(int color_depth = 24);
    QString path(const QString& name) const { return work.filePath(name); }
    // Writes a settings line into the store (a first start's defaults around it) before the program starts.
    void store_setting(int line, const QByteArray& plain);
    QByteArray stored_setting(int line) const;

    // Every game a test plays is replayable: a fixed generator on a clock that ticks per question.
    StandardRandom random;
    TickingClock clock;
    QTemporaryDir work;
    QTemporaryDir config;
    QString previous_directory;
};

// Points the store, and QSettings reading it, at `folder`.
void use_config_folder(const QString& folder);

// Answers a dialog of the game's end: OK to the game-over picture and to the highscore table,
// `name` and OK to the name entry. False for any other dialog.
bool answer_game_end(QWidget* dialog, const QString& name = "Ann");

// Starts the real program with its store in `config_folder`: offscreen, or on the X `display`.
void start_real_game(QProcess& game, const QString& config_folder, const QString& display = {});

// True once the process has its own handler for `signal`.
bool catches_signal(qint64 pid, int signal);

// Clicks a widget with the left button.
void click(QWidget* widget);

// Lets the timers run until `done` or ten seconds have passed (a loaded machine is slow).
bool run_until(const std::function<bool()>& done);
