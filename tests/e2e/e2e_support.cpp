#include "tests/e2e/e2e_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string g_state_path;
std::string g_log_path;

std::string TempFile(const char* prefix) {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, prefix, 0, path);
    return path;
}

std::string ReadAll(const std::string& path) {
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return text;
    }
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, got);
    }
    std::fclose(file);
    return text;
}

std::string RequiredEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        ADD_FAILURE() << name << " is not set";
        return std::string();
    }
    return value;
}

// Reads one end of a pipe to its close on a thread of its own, so that a
// child filling the other pipe cannot stall.
DWORD WINAPI DrainPipe(void* context) {
    auto* job = static_cast<std::pair<HANDLE, std::string*>*>(context);
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(job->first, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        job->second->append(chunk, got);
    }
    return 0;
}

}  // namespace

std::string Sjis(const wchar_t* text) {
    char bytes[256];
    int length = WideCharToMultiByte(932, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return length > 0 ? std::string(bytes, static_cast<size_t>(length - 1)) : std::string();
}

void SetSimDrives(const std::vector<SimDriveLine>& lines, bool log_requests) {
    if (g_state_path.empty()) {
        g_state_path = TempFile("sim");
        g_log_path = TempFile("log");
        SetEnvironmentVariableA("LIDWICK_SIMCD_STATE", g_state_path.c_str());
    }
    SetEnvironmentVariableA("LIDWICK_SIMCD_LOG", log_requests ? g_log_path.c_str() : nullptr);
    FILE* state = std::fopen(g_state_path.c_str(), "w");
    ASSERT_NE(state, nullptr);
    for (const SimDriveLine& line : lines) {
        std::fprintf(state, "%c %s %u %s\n", line.letter, line.tray, line.move_ms, line.fail);
    }
    std::fclose(state);
    FILE* log = std::fopen(g_log_path.c_str(), "w");
    ASSERT_NE(log, nullptr);
    std::fclose(log);
}

// The lines of `text`, without their line ends.
static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

std::string SimTray(char letter) {
    for (const std::string& line : Lines(ReadAll(g_state_path))) {
        if (!line.empty() && line[0] == letter) {
            return line.substr(2, line.find(' ', 2) - 2);
        }
    }
    return "closed";  // a drive the simulation never touched
}

std::vector<std::string> SimRequests() {
    return Lines(ReadAll(g_log_path));
}

std::string PluginPath() {
    return RequiredEnv("LIDWICK_DLL");
}

std::string TtbhostPath() {
    return RequiredEnv("LIDWICK_TTBHOST");
}

ProcessResult RunTtbhost(const std::string& arguments) {
    return RunTtbhostWhile(arguments, [](DWORD) {});
}

ProcessResult RunTtbhostWhile(const std::string& arguments,
                              const std::function<void(DWORD process_id)>& during) {
    ProcessResult result = {~0u, std::string(), std::string()};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out_read, out_write, err_read, err_write;
    if (!CreatePipe(&out_read, &out_write, &inherit, 0) ||
        !CreatePipe(&err_read, &err_write, &inherit, 0)) {
        ADD_FAILURE() << "CreatePipe failed";
        return result;
    }
    SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out_write;
    startup.hStdError = err_write;
    PROCESS_INFORMATION process = {};
    std::string command_line = "\"" + TtbhostPath() + "\" " + arguments;
    std::vector<char> writable(command_line.begin(), command_line.end());
    writable.push_back('\0');
    const BOOL started = CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(out_write);
    CloseHandle(err_write);
    if (!started) {
        ADD_FAILURE() << "cannot start " << command_line;
        CloseHandle(out_read);
        CloseHandle(err_read);
        return result;
    }
    std::pair<HANDLE, std::string*> out_job(out_read, &result.out);
    std::pair<HANDLE, std::string*> err_job(err_read, &result.err);
    HANDLE readers[2] = {CreateThread(nullptr, 0, DrainPipe, &out_job, 0, nullptr),
                         CreateThread(nullptr, 0, DrainPipe, &err_job, 0, nullptr)};
    during(process.dwProcessId);
    WaitForSingleObject(process.hProcess, INFINITE);
    WaitForMultipleObjects(2, readers, TRUE, INFINITE);
    GetExitCodeProcess(process.hProcess, &result.exit_code);
    CloseHandle(readers[0]);
    CloseHandle(readers[1]);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(out_read);
    CloseHandle(err_read);
    // A console program's text output ends its lines with CR LF.
    for (std::string* text : {&result.out, &result.err}) {
        text->erase(std::remove(text->begin(), text->end(), '\r'), text->end());
    }
    return result;
}
