#pragma once

#include "Form.h"

namespace brindle {

class ProgramContext;
struct RunSettings;

// The information screen: shown when the program was started without a
// company file. Closing it ends the program.
class FMain : public Form
{
public:
    FMain(ProgramContext& context, RunSettings& settings)
        : Form(settings), m_context(context), m_settings(settings)
    {}

    QString caption = QStringLiteral("VEXO Brindle");
    QString lblLastConnect = QStringLiteral("Last Connected:");
    QString lblVersion;

    void SetLastConnected();
    // Close and the close box unload the screen. True when the front end
    // must now unload every form.
    bool Form_QueryUnload();

protected:
    void Form_Load() override;

private:
    ProgramContext& m_context;
    RunSettings& m_settings;
};

} // namespace brindle
