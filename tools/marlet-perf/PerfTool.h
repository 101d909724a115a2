// marlet-perf: makes and inspects performance files without the editor. It reads and writes
// them through a GigaPlayer, so a file it writes is exactly what the plug-in would save.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

class GigaPlayer;
class GigaTone;

class PerfTool {
public:
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = 1;
    static constexpr int kUsage = 2;

    PerfTool(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // args without the program name; answers the exit code.
    int Run(const std::vector<std::string>& args);

private:
    using Options = std::map<std::string, std::string>;

    int New(const std::string& file);
    int Set(const std::string& file);
    int AddLayer(const std::string& file);
    int Select(const std::string& file);
    int Show(const std::string& file);
    int Programs(const std::string& gig);

    // Parses "--name value" pairs; only the names in `allowed` are accepted.
    bool ParseOptions(const std::vector<std::string>& args,
                      const std::vector<std::string>& allowed);
    bool Has(const std::string& name) const { return options_.contains(name); }
    // A number in [low, high] from option `name`; false (with a message) otherwise.
    bool Number(const std::string& name, int low, int high, int& value);
    bool GigPath(std::string& path);
    bool Open(GigaPlayer& player, const std::string& file);
    bool Write(GigaPlayer& player, const std::string& file);
    GigaTone* ToneOption(GigaPlayer& player);
    int Usage(const std::string& problem);

    std::ostream& out_;
    std::ostream& err_;
    Options options_;
};
