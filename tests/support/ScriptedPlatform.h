#pragma once

#include <QFile>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Platform.h"
#include "platform/QtTickSource.h"

namespace glimmora::testing {

// A timer the test fires by hand.
class ManualTickSource final : public TickSource {
public:
    void SetHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    void SetInterval(int milliseconds) override { interval_ = milliseconds; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    bool IsEnabled() const override { return enabled_; }
    int Interval() const { return interval_; }

    // Runs one tick if enabled; returns whether it ran.
    bool Fire() {
        if (!enabled_ || !handler_) {
            return false;
        }
        handler_();
        return true;
    }
    // Fires while enabled, at most limit times; returns how many ran.
    long FireUntilStopped(long limit = 100000000) {
        long n = 0;
        while (n < limit && Fire()) {
            ++n;
        }
        return n;
    }

private:
    std::function<void()> handler_;
    int interval_ = 0;
    bool enabled_ = false;
};

// Every dialog answers from a script; every call is recorded.
class ScriptedPlatform final : public Platform {
public:
    struct Message {
        QString title;
        QString text;
        Answer defaultAnswer = Answer::Yes; // questions only
    };
    struct SaveRequest {
        QString filter; // the first type offered
        QString proposedName;
        QStringList filters;
    };

    // Answers, taken front first; an empty queue answers "cancelled" / No.
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<int> saveTypeAnswers; // the type chosen with each; 0 when empty
    std::deque<std::optional<QColor>> colorAnswers;
    std::deque<bool> questionAnswers;
    // Called while a question is open (before it is answered), for tests
    // that act during the modal question.
    std::function<void()> duringQuestion;

    // What was asked.
    std::vector<Message> questions;
    std::vector<Message> criticals;
    std::vector<SaveRequest> saveRequests;
    int openDialogs = 0;
    int colorDialogs = 0;
    QStringList printed;
    bool printerAvailable = true;
    QStringList clipboard; // every text put on it, in order
    QStringList fonts{"Arial", "MS Sans Serif", "Tahoma", "Courier New"};
    std::vector<ManualTickSource*> tickSources; // owned by their windows
    // The program's own timers instead of ManualTickSource, for a test that
    // runs the event loop.
    bool realTicks = false;

    std::optional<QString> GetOpenFileName(QWidget*) override {
        ++openDialogs;
        return Take(openAnswers);
    }
    std::optional<SaveChoice> GetSaveFileName(QWidget*, const QStringList& filters,
                                              const QString& proposedName) override {
        saveRequests.push_back({filters.value(0), proposedName, filters});
        const int type = saveTypeAnswers.empty() ? 0 : saveTypeAnswers.front();
        if (!saveTypeAnswers.empty()) {
            saveTypeAnswers.pop_front();
        }
        const std::optional<QString> path = Take(saveAnswers);
        if (!path) {
            return std::nullopt;
        }
        return SaveChoice{*path, type};
    }
    std::optional<QColor> GetColor(QWidget*) override {
        ++colorDialogs;
        return Take(colorAnswers);
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text,
                  Answer defaultAnswer = Answer::Yes) override {
        questions.push_back({title, text, defaultAnswer});
        if (duringQuestion) {
            duringQuestion();
        }
        if (questionAnswers.empty()) {
            return false;
        }
        bool answer = questionAnswers.front();
        questionAnswers.pop_front();
        return answer;
    }
    void ShowCritical(QWidget*, const QString& title, const QString& text) override {
        criticals.push_back({title, text});
    }
    PictureFileResult LoadPicture(const QString& path) override {
        return PictureFile::Open(QFile::encodeName(path).toStdString(), path);
    }
    QStringList FontFamilies() override { return fonts; }
    bool PrintText(const QString& text) override {
        if (!printerAvailable) {
            return false;
        }
        printed.append(text);
        return true;
    }
    void SetClipboardText(const QString& text) override { clipboard.append(text); }
    std::unique_ptr<TickSource> CreateTickSource() override {
        if (realTicks) {
            return std::make_unique<QtTickSource>();
        }
        auto source = std::make_unique<ManualTickSource>();
        tickSources.push_back(source.get());
        return source;
    }

private:
    template <typename T> static std::optional<T> Take(std::deque<std::optional<T>>& queue) {
        std::optional<T> answer;
        if (!queue.empty()) {
            answer.swap(queue.front());
            queue.pop_front();
        }
        return answer;
    }
};

} // namespace glimmora::testing
