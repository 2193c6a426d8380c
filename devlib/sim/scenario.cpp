// Scenario files: a simulator set up from JSON, and the run-time start of the
// stand-in modules from the environment.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "dravik_sim.h"
#include "platform/without_exceptions.h"
#include "regular_file_reader.h"

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

// The simulator's calls refuse a valid value only when memory runs out,
// which their C interface reports by its result: thrown on as such.
void keptOrOutOfMemory(bool kept)
{
    if (!kept)
        throw std::bad_alloc();
}

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
    keptOrOutOfMemory(device >= 0);

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

// The rule of one fault. The places its messages name start at the fault
// (".kinds"), which the caller names: only a refused one of a scenario's
// perhaps millions of faults needs its place spelled out.
DravikSimFault faultRule(const json& entry)
{
    checkKeys(entry, "", {"kinds", "device", "command", "position"});
    const auto kinds = entry.find("kinds");
    if (kinds == entry.end() || !kinds->is_array() || kinds->empty())
        fault(".kinds", "expected a list of event kinds");
    DravikSimFault rule{0, DRAVIK_SIM_ANY_DEVICE, DRAVIK_SIM_ANY_COMMAND, 0};
    for (const json& kind : *kinds) {
        const auto* name = kind.get_ptr<const json::string_t*>();
        unsigned bits = 0;
        for (const NamedKind& named : kKinds)
            if (name != nullptr && *name == named.name)
                bits = named.kind;
        if (bits == 0)
            fault(".kinds", "unknown event kind " + shown(kind));
        rule.kinds |= bits;
    }
    if (const auto device = entry.find("device"); device != entry.end())
        rule.device = static_cast<int>(numberIn(*device, ".device", 0x7FFFFFFF));
    if (const auto command = entry.find("command"); command != entry.end())
        rule.command = static_cast<int>(numberIn(*command, ".command", 255));
    if (const auto position = entry.find("position"); position != entry.end())
        rule.position = static_cast<unsigned>(numberIn(*position, ".position", 0xFFFFFFFF));
    return rule;
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
        keptOrOutOfMemory(dravikSimSetMissing(name.get_ref<const std::string&>().c_str(), 1) != 0);
    }
}

// Lists and objects nest at most this deep in a scenario (the top-level
// object, devices, a device, blocks, a set, a block's bytes).
constexpr size_t kMaxNesting = 6;

// Empties value from its innermost lists and objects out. The JSON library
// destroys a list or object that holds any through a stack it allocates, in
// a destructor, where running out of memory ends the program; an empty one
// it destroys without. Values nest at most kMaxNesting deep.
void release(json& value) noexcept
{
    if (!value.is_structured())
        return;
    for (json& element : value)
        release(element);
    if (value.is_array())
        value.get_ref<json::array_t&>().clear();
    else
        value.get_ref<json::object_t&>().clear();
}

// A JSON value let go through release().
struct ReleasedValue {
    ReleasedValue() = default;
    ReleasedValue(const ReleasedValue&) = delete;
    ReleasedValue& operator=(const ReleasedValue&) = delete;
    ~ReleasedValue() { release(value); }

    json value;
};

// Builds the scenario's JSON value from the parser's events, knowing where it
// stands: the list index or the object key of each open level. Each fault is
// read into its rule as soon as it is complete and left out of the value: a
// scenario may hold millions. (The parser's own callback interface looks
// through the whole enclosing list after each object, which would load a
// long list of faults in quadratic time.)
class ScenarioBuilder {
public:
    ScenarioBuilder(json& root, const std::string& file) : root_(root), file_(file) {}

    bool null() { return add(nullptr); }
    bool boolean(bool value) { return add(value); }
    bool number_integer(json::number_integer_t value) { return add(value); }
    bool number_unsigned(json::number_unsigned_t value) { return add(value); }
    bool number_float(json::number_float_t value, const json::string_t&) { return add(value); }
    bool string(json::string_t& value) { return add(std::move(value)); }
    bool binary(json::binary_t& value) { return add(json::binary(std::move(value))); }
    bool start_object(size_t) { return open(json::object()); }
    bool start_array(size_t) { return open(json::array()); }
    bool key(json::string_t& key)
    {
        levels_.back().key = key;
        return true;
    }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    template <typename Exception>
    bool parse_error(size_t, const std::string&, const Exception& error)
    {
        throw error;
    }

    // Adds the faults' rules in order, or refuses the first faulty fault.
    void addFaults() const
    {
        if (!faultProblem_.empty())
            throw ScenarioError(faultProblem_);
        for (const DravikSimFault& rule : faults_)
            keptOrOutOfMemory(dravikSimAddFault(&rule) != 0);
    }

private:
    struct Level {
        json* value;
        bool holdsFaults;  // the top-level list "faults"
        size_t index;      // of a list: its elements completed so far
        std::string key;
    };

    json& place(json&& value)
    {
        if (levels_.empty())
            return root_ = std::move(value);
        Level& parent = levels_.back();
        if (parent.value->is_array()) {
            parent.value->push_back(std::move(value));
            return parent.value->back();
        }
        // A key given twice: its first value makes way.
        json& member = (*parent.value)[parent.key];
        release(member);
        return member = std::move(value);
    }

    bool add(json&& value)
    {
        completed(place(std::move(value)));
        return true;
    }

    // Refuses a list or object nested deeper than any scenario needs, before
    // building it.
    bool open(json&& container)
    {
        if (levels_.size() == kMaxNesting)
            fault(file_ + ": " + text(), "lists and objects nested more than " + std::to_string(kMaxNesting) + " deep");
        const bool holdsFaults = levels_.size() == 1 && levels_[0].key == "faults" && container.is_array();
        // A later "faults" replaces an earlier one.
        if (holdsFaults) {
            faults_.clear();
            faultProblem_.clear();
        }
        levels_.push_back({&place(std::move(container)), holdsFaults, 0, {}});
        return true;
    }

    bool close()
    {
        json& value = *levels_.back().value;
        levels_.pop_back();
        completed(value);
        return true;
    }

    void completed(json& value)
    {
        if (levels_.empty())
            return;
        Level& parent = levels_.back();
        if (parent.holdsFaults) {
            if (faultProblem_.empty()) {
                try {
                    faults_.push_back(faultRule(value));
                } catch (const ScenarioError& error) {
                    faultProblem_ = file_ + ": faults[" + std::to_string(parent.index) + "]" + error.what();
                }
            }
            release(value);
            parent.value->get_ref<json::array_t&>().pop_back();
        }
        ++parent.index;
    }

    // The place of the value to come as the reader names it:
    // devices[0].blocks.current.
    std::string text() const
    {
        std::string place;
        for (const Level& level : levels_) {
            if (level.value->is_array())
                place += "[" + std::to_string(level.index) + "]";
            else
                place += (place.empty() ? "" : ".") + level.key;
        }
        return place;
    }

    json& root_;
    const std::string& file_;
    std::vector<Level> levels_;
    std::vector<DravikSimFault> faults_;
    std::string faultProblem_;
};

void loadScenario(const char* path)
{
    const std::string where = path;
    RegularFileReader reader(path);
    if (reader.problem() != nullptr)
        fault(where, reader.problem());
    ReleasedValue root;
    json& scenario = root.value;
    ScenarioBuilder builder(scenario, where);
    std::string parseProblem;
    try {
        json::sax_parse(reader.begin(), RegularFileReader::end(), &builder);
    } catch (const json::parse_error& error) {
        parseProblem = error.what();
    }
    // A failed read ends the bytes early, which the parser may take for the
    // end of the file.
    if (reader.problem() != nullptr)
        fault(where, reader.problem());
    if (!parseProblem.empty())
        fault(where, parseProblem);
    checkKeys(scenario, where, {"devices", "faults", "missing"});
    dravikSimReset();
    if (scenario.contains("devices")) {
        const json& devices = scenario["devices"];
        if (!devices.is_array())
            fault(where + ": devices", "expected a list");
        for (size_t i = 0; i < devices.size(); ++i)
            readDevice(devices[i], where + ": devices[" + std::to_string(i) + "]");
    }
    if (scenario.contains("faults")) {
        if (!scenario["faults"].is_array())
            fault(where + ": faults", "expected a list");
        builder.addFaults();
    }
    if (scenario.contains("missing"))
        readMissing(scenario["missing"], where + ": missing");
}

// A failure other than a fault in the scenario, as its message says it.
const char* whatFailed(const std::exception* error)
{
    if (dynamic_cast<const std::bad_alloc*>(error) != nullptr)
        return "out of memory";
    return error != nullptr ? error->what() : "unknown error";
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
    const char* const file = path != nullptr ? path : "scenario";
    const auto load = [path, file, message, size] {
        if (path == nullptr)
            fault(file, "no file named");
        loadScenario(path);
        if (message != nullptr && size > 0)
            message[0] = '\0';
        return 1;
    };
    // Written straight into message: out of memory, a text built first
    // might not be. A fault in the scenario names its file and place itself.
    const auto refuse = [file, message, size](const std::exception* error) {
        if (message != nullptr && size > 0) {
            if (dynamic_cast<const ScenarioError*>(error) != nullptr)
                std::snprintf(message, size, "%s", error->what());
            else
                std::snprintf(message, size, "%s: %s", file, whatFailed(error));
        }
        dravikSimReset();
    };
    return withoutExceptions(0, load, refuse);
}

int dravikSimStartFromEnvironment(void)
{
    static const int result = startFromEnvironment();
    return result;
}

}  // extern "C"
