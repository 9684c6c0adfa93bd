// What one check found, in the form the check sequence writes it: the result log's line and
// the report's entry are both made from one finding, the dialog is chosen by it and the
// repair it names is called with its code.
#pragma once
#include <string>

// The correction a finding offers.
enum class Repair {
    None,               // nothing to offer here: the dialog is a notice
    ChoosePort,         // move the printer to another port
    AppPath,            // rewrite the status window's App Paths entry
    PortDriverService,  // one kind of the port-driver service's faults
    LanguageMonitor,    // register the print monitor again
    PrinterDriver,      // rewrite the printer driver's registration
    StatusWindow,       // create the status window's start-up shortcut
    BidiSupport,        // turn the queue's bidirectional support on
    HoldMismatched,     // stop the queue holding mismatched documents
    ProgramFolder,      // the dialog has created the program folder: see whether it is there
    ProgramItem,        // create the missing program item's shortcut from its manifest entry
};

struct Finding {
    enum class Result { Correct, Fault };

    const char* check = nullptr;  // CheckId
    Result result = Result::Correct;
    int code = 0;                 // what the repair takes; the report's code of a fault (0: none)
    // The whole correct line, or the fault's message after "错误:" ("网络错误:"), without a
    // line end. A correct finding without text writes no line.
    std::wstring text;
    bool network = false;         // a fault of the network, not of a setting
    Repair repair = Repair::None;

    bool correct() const { return result == Result::Correct; }

    static Finding Correct(const char* check, std::wstring text = std::wstring())
    {
        return Finding{ check, Result::Correct, 0, std::move(text), false, Repair::None };
    }
    static Finding Fault(const char* check, std::wstring text, Repair repair, int code = 0)
    {
        return Finding{ check, Result::Fault, code, std::move(text), false, repair };
    }
    // The network faults offer nothing: the dialog is a notice.
    static Finding NetworkFault(const char* check, std::wstring text)
    {
        return Finding{ check, Result::Fault, 0, std::move(text), true, Repair::None };
    }
};
