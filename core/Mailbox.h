#pragma once

#include <QString>

#include <functional>

namespace qelt {

// A hidden label or text box that passes a value between windows. Setting a
// different text raises the change handler at once (synchronously); setting
// the same text raises nothing. Callers rely on exactly this: writing "0"
// first makes a repeated command reach the handler again.
class Mailbox {
public:
    using Handler = std::function<void(const QString &)>;

    explicit Mailbox(Handler onChange = {}) : m_onChange(std::move(onChange)) {}

    const QString &text() const { return m_text; }
    void setText(const QString &text)
    {
        if (text == m_text)
            return;
        m_text = text;
        if (m_onChange)
            m_onChange(m_text);
    }
    void setHandler(Handler onChange) { m_onChange = std::move(onChange); }

private:
    QString m_text;
    Handler m_onChange;
};

} // namespace qelt
