#pragma once

#include <QLabel>

// A one-line label that shows a text too long for it with "…" in the middle, so that both ends stay
// in view (the first and the last file of a run), and the whole text as its tool tip.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // Hides QLabel::setText: the tool tip follows the text.
    void setText(const QString& text);
    // What the label shows at its present width.
    QString shownText() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
