#pragma once

// The program-wide objects, made in the start-up order (skin access, data
// folders, settings, language table, camera list) and released in the
// reverse order; releasing the settings writes "Ovilen.cfg".
class TProgramModules
{
public:
    TProgramModules();
    ~TProgramModules();
    TProgramModules(const TProgramModules &) = delete;
    TProgramModules &operator=(const TProgramModules &) = delete;
};
