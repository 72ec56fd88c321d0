// The host's chart-of-accounts editor as the component starts it: two object references, then Run,
// which returns when the user leaves the editor.
#pragma once

#include "runtime/DispatchObject.h"

namespace sarvo::host {

class ZwPub;
class LogIn;

class CodeEditor : public DispatchObject {
public:
    CodeEditor();
    void setZwPub(std::shared_ptr<ZwPub> zwPub) { m_zwPub = std::move(zwPub); }
    void setLogin(std::shared_ptr<LogIn> login) { m_login = std::move(login); }
    void Run();

    // How many times Run was entered in this process (tests and the demo's report).
    static int runCount();

private:
    std::shared_ptr<ZwPub> m_zwPub;
    std::shared_ptr<LogIn> m_login;
};

} // namespace sarvo::host
