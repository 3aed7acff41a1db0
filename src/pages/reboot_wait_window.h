#pragma once

#include <QWidget>

class QMovie;

namespace kvx {

// The caption-less window shown while the device restarts, with its looping animation.
class RebootWaitWindow : public QWidget {
    Q_OBJECT
public:
    explicit RebootWaitWindow(QWidget* parent = nullptr);

    bool isAnimating() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QMovie* m_movie;
};

} // namespace kvx
