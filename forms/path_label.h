#pragma once

#include <QLabel>

namespace vuelco::forms {

// A label for a path or a file's name, which may be far longer than its box. It shows the
// text whole when it fits; otherwise it leaves out characters from the middle of the folder
// part, as few as needed, and shows "…" in their place, so that the file's name always shows
// whole (the name itself is shortened only when it alone does not fit). A label that wraps
// its words fills every line its height holds, breaking the path anywhere when it has to.
// Its text, its tooltip and what screen readers read stay the whole path. Plain text only.
class PathLabel : public QLabel {
    Q_OBJECT

public:
    explicit PathLabel(QWidget *parent = nullptr);

    // The text as the label shows it now.
    [[nodiscard]] QString shownText() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    [[nodiscard]] QRect textRoom() const;
    [[nodiscard]] int lineCount() const;
};

} // namespace vuelco::forms
