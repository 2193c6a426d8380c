// Scenario files: a simulator set up from JSON, and the run-time start of the
// stand-in modules from the environment.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "dravik_sim.h"

namespace {

using nlohmann::json;

// A fault in the scenario, with where it is.
struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const char* const kSetNames[] = {"current", "staged", "factory", "user"};

struct NamedKind {
    const char* name;
    unsigned kind;
};
// clang-format off
const NamedKind kKinds[] = {
    {"open", DRAVIK_SIM_OPEN},
    {"attributes", DRAVIK_SIM_ATTRIBUTES},
    {"command", DRAVIK_SIM_COMMAND_REPORT},
    {"data", DRAVIK_SIM_DATA_REPORT},
    {"read", DRAVIK_SIM_FEATURE_READ},
    {"reports", DRAVIK_SIM_REPORTS},
    {"list", DRAVIK_SIM_LIST},
    {"interface", DRAVIK_SIM_INTERFACE},
    {"size", DRAVIK_SIM_SIZE_QUERY},
    {"detail", DRAVIK_SIM_DETAIL_QUERY},
};
// clang-format on

// clang-format off
const char* const kMissingNames[] = {
    "HID.DLL",          "HidD_GetAttributes",          "HidD_GetFeature",
    "HidD_SetFeature",  "HidD_GetHidGuid",             "HidP_GetCaps",
    "SETUPAPI.DLL",     "SetupDiGetClassDevsA",        "SetupDiEnumDeviceInterfaces",
    "SetupDiGetDeviceInterfaceDetailA",                "SetupDiDestroyDeviceInfoList",
};
// clang-format on

[[noreturn]] void fault(const std::string& where, const std::string& what)
{
    throw ScenarioError(where + ": " + what);
}

// A value as a message shows it: a list or an object only by its brackets,
// however much it holds.
std::string shown(const json& value)
{
    if (value.is_array())
        return "[...]";
    if (value.is_object())
        return "{...}";
    return value.dump();
}

// Each object may hold only the keys its reader knows.
void checkKeys(const json& object, const std::string& where, std::initializer_list<const char*> known)
{
    if (!object.is_object())
        fault(where, "expected an object");
    for (const auto& item : object.items()) {
        bool isKnown = false;
        for (const char* key : known)
            isKnown = isKnown || item.key() == key;
        if (!isKnown)
            fault(where, "unknown key \"" + item.key() + "\"");
    }
}

// A number, or a string of hexadecimal digits after "0x".
unsigned long numberIn(const json& value, const std::string& where, unsigned long highest)
{
    unsigned long number = 0;
    bool valid = false;
    if (value.is_number_unsigned()) {
        number = value.get<unsigned long>();
        valid = true;
    } else if (value.is_string()) {
        const std::string text = value.get<std::string>();
        char* end = nullptr;
        errno = 0;
        if (text.size() > 2 && (text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0) &&
            std::isxdigit(static_cast<unsigned char>(text[2]))) {
            number = std::strtoul(text.c_str() + 2, &end, 16);
            valid = *end == '\0' && errno == 0;
        }
    }
    if (!valid || number > highest)
        fault(where, "expected a number from 0 to " + std::to_string(highest) + " (or \"0x\" and hex digits)");
    return number;
}

template <size_t N>
void bytesIn(const json& value, const std::string& where, uint8_t (&bytes)[N])
{
    if (!value.is_array() || value.size() != N)
        fault(where, "expected " + std::to_string(N) + " bytes");
    for (size_t i = 0; i < N; ++i)
        bytes[i] = static_cast<uint8_t>(numberIn(value[i], where + "[" + std::to_string(i) + "]", 255));
}

void readBlocks(const json& blocks, int device, const std::string& where)
{
    checkKeys(blocks, where, {"current", "staged", "factory", "user"});
    for (int set = DRAVIK_SIM_CURRENT; set <= DRAVIK_SIM_USER; ++set) {
        const char* name = kSetNames[set];
        if (!blocks.contains(name))
            continue;
        const std::string setWhere = where + "." + name;
        checkKeys(blocks[name], setWhere, {"0x80", "0x81", "0x82", "0x83", "0x84", "0x85"});
        for (const auto& item : blocks[name].items()) {
            uint8_t data[8];
            bytesIn(item.value(), setWhere + "." + item.key(), data);
            dravikSimSetBlock(device, set, static_cast<uint8_t>(std::stoul(item.key(), nullptr, 16)), data);
        }
    }
}

void readIdentity(const json& identity, int device, const std::string& where)
{
    checkKeys(identity, where, {"luid", "did", "nibbles"});
    uint16_t luid = 0, did = 0;
    uint8_t nibbles[4];
    dravikSimGetIdentity(device, &luid, &did, nibbles);
    if (identity.contains("luid"))
        luid = static_cast<uint16_t>(numberIn(identity["luid"], where + ".luid", 0xFFFF));
    if (identity.contains("did"))
        did = static_cast<uint16_t>(numberIn(identity["did"], where + ".did", 0xFFFF));
    if (identity.contains("nibbles"))
        bytesIn(identity["nibbles"], where + ".nibbles", nibbles);
    dravikSimSetIdentity(device, luid, did, nibbles);
}

void readDevice(const json& entry, const std::string& where)
{
    checkKeys(entry, where,
              {"path", "vendorId", "productId", "versionNumber", "sensor", "blocks", "identity", "range",
               "detailSize"});
    for (const char* required : {"path", "vendorId", "productId", "versionNumber"})
        if (!entry.contains(required))
            fault(where, std::string("\"") + required + "\" is missing");
    if (!entry["path"].is_string() || entry["path"].get<std::string>().empty())
        fault(where + ".path", "expected a device path");
    if (entry.contains("sensor") && !entry["sensor"].is_boolean())
        fault(where + ".sensor", "expected true or false");

    const std::string path = entry["path"].get<std::string>();
    DravikSimDeviceSpec spec{};
    spec.path = path.c_str();
    spec.vendorId = static_cast<uint16_t>(numberIn(entry["vendorId"], where + ".vendorId", 0xFFFF));
    spec.productId = static_cast<uint16_t>(numberIn(entry["productId"], where + ".productId", 0xFFFF));
    spec.versionNumber = static_cast<uint16_t>(numberIn(entry["versionNumber"], where + ".versionNumber", 0xFFFF));
    spec.isSensor = entry.value("sensor", true) ? 1 : 0;
    const int device = dravikSimAddDevice(&spec);

    if (entry.contains("blocks"))
        readBlocks(entry["blocks"], device, where + ".blocks");
    if (entry.contains("identity"))
        readIdentity(entry["identity"], device, where + ".identity");
    if (entry.contains("range")) {
        uint8_t reply[8];
        bytesIn(entry["range"], where + ".range", reply);
        dravikSimSetRange(device, reply);
    }
    if (entry.contains("detailSize"))
        dravikSimSetDetailSize(device,
                               static_cast<uint32_t>(numberIn(entry["detailSize"], where + ".detailSize", 0xFFFFFFFF)));
}

void readFault(const json& entry, const std::string& where)
{
    checkKeys(entry, where, {"kinds", "device", "command", "position"});
    if (!entry.contains("kinds") || !entry["kinds"].is_array() || entry["kinds"].empty())
        fault(where + ".kinds", "expected a list of event kinds");
    DravikSimFault rule{0, DRAVIK_SIM_ANY_DEVICE, DRAVIK_SIM_ANY_COMMAND, 0};
    for (const json& kind : entry["kinds"]) {
        unsigned bits = 0;
        for (const NamedKind& named : kKinds)
            if (kind.is_string() && kind.get<std::string>() == named.name)
                bits = named.kind;
        if (bits == 0)
            fault(where + ".kinds", "unknown event kind " + shown(kind));
        rule.kinds |= bits;
    }
    if (entry.contains("device"))
        rule.device = static_cast<int>(numberIn(entry["device"], where + ".device", 0x7FFFFFFF));
    if (entry.contains("command"))
        rule.command = static_cast<int>(numberIn(entry["command"], where + ".command", 255));
    if (entry.contains("position"))
        rule.position = static_cast<unsigned>(numberIn(entry["position"], where + ".position", 0xFFFFFFFF));
    dravikSimAddFault(&rule);
}

void readMissing(const json& names, const std::string& where)
{
    if (!names.is_array())
        fault(where, "expected a list of names");
    for (const json& name : names) {
        bool known = false;
        for (const char* candidate : kMissingNames)
            known = known || (name.is_string() && name.get<std::string>() == candidate);
        if (!known)
            fault(where, "not a platform library or entry point: " + shown(name));
        dravikSimSetMissing(name.get<std::string>().c_str(), 1);
    }
}

// Lists and objects nest at most this deep in a scenario (the top-level
// object, devices, a device, blocks, a set, a block's bytes).
constexpr size_t kMaxNesting = 6;

// Where the parser stands: the list index or the object key of each level.
class ParsePlace {
public:
    // Refuses a list or object nested deeper than any scenario needs, before
    // the parser builds it or descends into it.
    bool onEvent(json::parse_event_t event, const json& parsed, const std::string& file)
    {
        switch (event) {
        case json::parse_event_t::object_start:
        case json::parse_event_t::array_start:
            if (levels_.size() == kMaxNesting)
                fault(file + ": " + text(),
                      "lists and objects nested more than " + std::to_string(kMaxNesting) + " deep");
            levels_.push_back({event == json::parse_event_t::array_start, 0, {}});
            break;
        case json::parse_event_t::key:
            levels_.back().key = parsed.get<std::string>();
            break;
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            levels_.pop_back();
            valueDone();
            break;
        case json::parse_event_t::value:
            valueDone();
            break;
        }
        return true;
    }

private:
    struct Level {
        bool isList;
        size_t index;
        std::string key;
    };

    void valueDone()
    {
        if (!levels_.empty() && levels_.back().isList)
            ++levels_.back().index;
    }

    // The place as the reader names it: devices[0].blocks.current.
    std::string text() const
    {
        std::string place;
        for (const Level& level : levels_) {
            if (level.isList)
                place += "[" + std::to_string(level.index) + "]";
            else
                place += (place.empty() ? "" : ".") + level.key;
        }
        return place;
    }

    std::vector<Level> levels_;
};

void loadScenario(const char* path)
{
    std::ifstream file(path);
    if (!file)
        fault(path, std::strerror(errno));
    json scenario;
    ParsePlace place;
    try {
        scenario = json::parse(file, [&](int, json::parse_event_t event, json& parsed) {
            return place.onEvent(event, parsed, path);
        });
    } catch (const json::parse_error& error) {
        fault(path, error.what());
    }
    checkKeys(scenario, path, {"devices", "faults", "missing"});
    dravikSimReset();
    const std::string where = path;
    if (scenario.contains("devices")) {
        if (!scenario["devices"].is_array())
            fault(where + ": devices", "expected a list");
        for (size_t i = 0; i < scenario["devices"].size(); ++i)
            readDevice(scenario["devices"][i], where + ": devices[" + std::to_string(i) + "]");
    }
    if (scenario.contains("faults")) {
        if (!scenario["faults"].is_array())
            fault(where + ": faults", "expected a list");
        for (size_t i = 0; i < scenario["faults"].size(); ++i)
            readFault(scenario["faults"][i], where + ": faults[" + std::to_string(i) + "]");
    }
    if (scenario.contains("missing"))
        readMissing(scenario["missing"], where + ": missing");
}

void writeTraceLine(const DravikSimTraceEntry* entry, void* context)
{
    auto* log = static_cast<std::FILE*>(context);
    char line[256];
    dravikSimFormatTraceEntry(entry, line, sizeof line);
    std::fprintf(log, "%s\n", line);
    std::fflush(log);
}

const char* variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

int startFromEnvironment()
{
    char message[512];
    if (const char* scenario = variable("DRAVIK_SIM")) {
        if (!dravikSimLoadScenario(scenario, message, sizeof message)) {
            std::fprintf(stderr, "dravik simulator: %s\n", message);
            return 0;
        }
    }
    if (const char* logPath = variable("DRAVIK_SIM_LOG")) {
        // Left open for the life of the process, which may end with our unload.
        std::FILE* log = std::fopen(logPath, "w");
        if (log == nullptr) {
            std::fprintf(stderr, "dravik simulator: %s: %s\n", logPath, std::strerror(errno));
            return 0;
        }
        dravikSimSetTraceListener(writeTraceLine, log);
    }
    return 1;
}

}  // namespace

extern "C" {

int dravikSimLoadScenario(const char* path, char* message, size_t size)
{
    std::string problem;
    try {
        if (path == nullptr)
            fault("scenario", "no file named");
        loadScenario(path);
    } catch (const ScenarioError& error) {
        problem = error.what();
    } catch (const json::exception& error) {
        problem = std::string(path) + ": " + error.what();
    }
    if (message != nullptr && size > 0)
        std::snprintf(message, size, "%s", problem.c_str());
    if (!problem.empty())
        dravikSimReset();
    return problem.empty() ? 1 : 0;
}

int dravikSimStartFromEnvironment(void)
{
    static const int result = startFromEnvironment();
    return result;
}

}  // extern "C"
