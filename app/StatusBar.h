#pragma once

#include <QStatusBar>
#include <QVector>

class QLabel;

//! A status bar of plain text panels that handlers overwrite. Every panel but the last has
//! its own width; the last one takes the rest of the bar.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    //! A bar with panels of the given widths (the last width is only its designed one).
    explicit StatusBar(const QVector<int> &panelWidths, QWidget *parent = nullptr);

    int panelCount() const { return int(m_panels.size()); }
    //! The text of panel `index`.
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    //! The label that shows panel `index`.
    QLabel *panel(int index) const { return m_panels.value(index); }

private:
    QVector<QLabel *> m_panels;
};
