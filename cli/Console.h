#pragma once

#include <QChar>
#include <QTextStream>

namespace brindle::cli {

// Where the terminal front end writes and reads the user's keys.
class Console
{
public:
    virtual ~Console() = default;

    // True when somebody can answer: the keys come from a terminal and the
    // progress can be drawn on one.
    virtual bool interactive() const = 0;
    // One key, without Enter; QChar() at the end of the input or when
    // Ctrl-C interrupted the wait.
    virtual QChar readKey() = 0;
    virtual QTextStream& out() = 0;
    virtual QTextStream& err() = 0;
};

// Standard input, output and error of the process.
class StdConsole : public Console
{
public:
    StdConsole(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    bool interactive() const override;
    QChar readKey() override;
    QTextStream& out() override { return m_out; }
    QTextStream& err() override { return m_err; }

private:
    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace brindle::cli
