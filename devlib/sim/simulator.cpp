// The simulated sensors behind dravik_sim.h.
#include "dravik_sim.h"

#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/backend.h"
#include "platform/never_destroyed.h"
#include "platform/without_exceptions.h"

static_assert(std::is_same_v<decltype(&dravikSimHidGetAttributes), PFN_HidD_GetAttributes>, "HID signature");
static_assert(std::is_same_v<decltype(&dravikSimHidGetFeature), PFN_HidD_GetFeature>, "HID signature");
static_assert(std::is_same_v<decltype(&dravikSimHidSetFeature), PFN_HidD_SetFeature>, "HID signature");

namespace {

// The firmware's own view of the protocol, kept apart from the library's so
// that the simulator does not take the library's word for it.
constexpr size_t kReportLength = 9;
constexpr uint8_t kFirstBlock = 0x80;
constexpr size_t kBlockCount = 6;
constexpr uint8_t kIdentity = 0x8A;
constexpr uint8_t kRange = 0x8F;
constexpr uint8_t kCommit = 0x90;
constexpr uint8_t kFactoryReset = 0xA0;
constexpr uint8_t kResumeKeys = 0xB0;
constexpr uint8_t kHaltKeys = 0xB1;
constexpr uint8_t kUserReset = 0xD0;
constexpr uint8_t kUserSave = 0xE0;
constexpr int kNoCommand = -1;

using Block = std::array<uint8_t, 8>;
using BlockSet = std::array<Block, kBlockCount>;
using Report = std::array<uint8_t, kReportLength>;

// A sensor as it leaves the factory: 500 ms pings, 14 to 36 inches, the
// workstation lock (GUI+L) on walk-away, nothing on walk-up, no idle key.
const BlockSet kDefaultBlocks = {{
    {0x00, 0x7D, 0x10, 0x31, 0x7D, 0x05, 0x02, 0x00},
    {0x01, 0x08, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x0F, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x2E},
}};
const Block kDefaultRange = {0x01, 0x7D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

struct Device {
    std::string path;
    uint16_t vendorId;
    uint16_t productId;
    uint16_t versionNumber;
    bool isSensor;
    std::array<BlockSet, 4> sets;
    uint16_t luid = 0;
    uint16_t did;
    std::array<uint8_t, 4> nibbles;
    Block range = kDefaultRange;
    bool halted = false;
    int lastCommand = kNoCommand;
    uint32_t detailSize = 0;
};

// The fault rules, kept so that an event costs the rules it matches, not
// all there are: rules with the same conditions see the same events, so they
// share one count of matches, from which each rule's own count follows.
class FaultRules {
public:
    void add(const DravikSimFault& rule)
    {
        if (rule.kinds == 0)
            return;
        const Conditions conditions{rule.kinds, rule.device, rule.command};
        const auto found = groupOf_.find(conditions);
        const size_t g = found == groupOf_.end() ? groups_.size() : found->second;
        if (found == groupOf_.end()) {
            // Should memory run out before the group can be found by its
            // conditions, it stays without rules and refuses nothing.
            groups_.emplace_back();
            for (unsigned bit = 0; bit < kKindBits; ++bit)
                if (rule.kinds & (1u << bit))
                    byKind_[bit][eventKey(rule.device, rule.command)].push_back(g);
            groupOf_.emplace(conditions, g);
        }
        Group& group = groups_[g];
        if (rule.position == 0)
            group.refusesEvery = true;
        else
            group.refusingCounts.insert(group.matched + rule.position);
    }

    // Counts the event against every rule it matches; true when one refuses it.
    bool refuses(unsigned kind, int device, int command)
    {
        ++events_;
        bool refused = false;
        for (unsigned bit = 0; bit < kKindBits; ++bit) {
            if ((kind & (1u << bit)) == 0 || byKind_[bit].empty())
                continue;
            for (int ruleDevice : {device, DRAVIK_SIM_ANY_DEVICE})
                for (int ruleCommand : {command, DRAVIK_SIM_ANY_COMMAND})
                    refused = countIn(byKind_[bit], ruleDevice, ruleCommand) || refused;
        }
        return refused;
    }

    void clear()
    {
        groupOf_.clear();
        groups_.clear();
        for (auto& index : byKind_)
            index.clear();
    }

private:
    static constexpr unsigned kKindBits = 32;

    struct Conditions {
        unsigned kinds;
        int device;
        int command;
        bool operator==(const Conditions& other) const
        {
            return kinds == other.kinds && device == other.device && command == other.command;
        }
    };
    struct ConditionsHash {
        size_t operator()(const Conditions& c) const
        {
            return std::hash<uint64_t>{}(eventKey(c.device, c.command) * 31 + c.kinds);
        }
    };
    struct Group {
        unsigned matched = 0;  // each rule's own count is this less the count it was added at
        bool refusesEvery = false;
        std::unordered_set<unsigned> refusingCounts;  // of the rules refusing only their n-th event
        uint64_t lastEvent = 0;
    };
    using Index = std::unordered_map<uint64_t, std::vector<size_t>>;

    static uint64_t eventKey(int device, int command)
    {
        return uint64_t{static_cast<uint32_t>(device)} << 32 | static_cast<uint32_t>(command);
    }

    // An event meets a group once, however many of its ways lead there.
    bool countIn(const Index& index, int device, int command)
    {
        const auto found = index.find(eventKey(device, command));
        if (found == index.end())
            return false;
        bool refused = false;
        for (size_t g : found->second) {
            Group& group = groups_[g];
            if (group.lastEvent == events_)
                continue;
            group.lastEvent = events_;
            ++group.matched;
            refused = refused || group.refusesEvery || group.refusingCounts.count(group.matched) != 0;
        }
        return refused;
    }

    std::unordered_map<Conditions, size_t, ConditionsHash> groupOf_;
    std::vector<Group> groups_;
    std::array<Index, kKindBits> byKind_;
    uint64_t events_ = 0;
};

struct Handle {
    uintptr_t value;
    int device;
};

struct Simulator {
    std::vector<Device> devices;
    std::vector<Handle> handles;
    uintptr_t nextHandle = 0x5100;
    FaultRules faults;
    std::vector<DravikSimTraceEntry> trace;
    uint64_t virtualMs = 0;
    bool realTime = false;
    std::chrono::steady_clock::time_point clockStart = std::chrono::steady_clock::now();
    DravikSimTraceListener listener = nullptr;
    void* listenerContext = nullptr;
    std::set<std::string, std::less<>> missing;
};

// Never destroyed: the library may close its devices from its unload, after
// static destructors have run.
Simulator& sim()
{
    static NeverDestroyed<Simulator> simulator;
    return simulator.get();
}

Device* deviceAt(int id)
{
    Simulator& s = sim();
    if (id < 0 || static_cast<size_t>(id) >= s.devices.size())
        return nullptr;
    return &s.devices[static_cast<size_t>(id)];
}

int deviceForHandle(void* handle)
{
    for (const Handle& h : sim().handles)
        if (reinterpret_cast<void*>(h.value) == handle)
            return h.device;
    return -1;
}

bool samePathIgnoringCase(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

uint64_t now()
{
    const Simulator& s = sim();
    if (!s.realTime)
        return s.virtualMs;
    const auto elapsed = std::chrono::steady_clock::now() - s.clockStart;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void restartClock()
{
    sim().virtualMs = 0;
    sim().clockStart = std::chrono::steady_clock::now();
}

bool faultRefuses(unsigned kind, int device, int command)
{
    return sim().faults.refuses(kind, device, command);
}

DravikSimTraceEntry newEntry(unsigned kind, int device, bool refused)
{
    DravikSimTraceEntry entry{};
    entry.kind = kind;
    entry.device = device;
    entry.timeMs = now();
    entry.refused = refused ? 1 : 0;
    return entry;
}

// Room for one more element, made before an event changes anything: an
// event whose trace entry (or handle) could not be kept fails as a whole.
template <typename T>
bool roomForOne(std::vector<T>& list)
{
    return withoutExceptions(false, [&list] {
        if (list.size() == list.capacity())
            list.reserve(list.empty() ? 64 : 2 * list.size());
        return true;
    });
}

// After roomForOne(sim().trace).
void record(const DravikSimTraceEntry& entry)
{
    Simulator& s = sim();
    s.trace.push_back(entry);
    if (s.listener != nullptr)
        s.listener(&s.trace.back(), s.listenerContext);
}

void recordReport(unsigned kind, int device, bool refused, const uint8_t* bytes)
{
    DravikSimTraceEntry entry = newEntry(kind, device, refused);
    if (bytes != nullptr)
        std::memcpy(entry.bytes, bytes, kReportLength);
    record(entry);
}

bool isConfigBlock(int command)
{
    return command >= kFirstBlock && command < kFirstBlock + int(kBlockCount);
}

void copyBlocks(Device& device, int to, int from)
{
    device.sets[size_t(to)] = device.sets[size_t(from)];
}

void applyCommand(Device& device, const Report& report)
{
    const uint8_t command = report[1];
    device.lastCommand = command;
    switch (command) {
    case kCommit:
        for (size_t k = 0; k < kBlockCount; ++k)
            if (report[2] & (1u << k))
                device.sets[DRAVIK_SIM_CURRENT][k] = device.sets[DRAVIK_SIM_STAGED][k];
        break;
    case kFactoryReset:
        copyBlocks(device, DRAVIK_SIM_CURRENT, DRAVIK_SIM_FACTORY);
        copyBlocks(device, DRAVIK_SIM_STAGED, DRAVIK_SIM_FACTORY);
        break;
    case kUserReset:
        copyBlocks(device, DRAVIK_SIM_CURRENT, DRAVIK_SIM_USER);
        copyBlocks(device, DRAVIK_SIM_STAGED, DRAVIK_SIM_USER);
        break;
    case kUserSave:
        copyBlocks(device, DRAVIK_SIM_USER, DRAVIK_SIM_CURRENT);
        break;
    case kResumeKeys:
        device.halted = false;
        break;
    case kHaltKeys:
        device.halted = true;
        break;
    default:
        break;
    }
}

void applyData(Device& device, const Report& report)
{
    if (isConfigBlock(device.lastCommand)) {
        std::memcpy(device.sets[DRAVIK_SIM_STAGED][size_t(device.lastCommand - kFirstBlock)].data(), &report[1], 8);
    } else if (device.lastCommand == kIdentity) {
        device.luid = static_cast<uint16_t>(report[2] | report[3] << 8);
    }
}

Report replyFor(const Device& device)
{
    Report reply{};
    if (isConfigBlock(device.lastCommand)) {
        const Block& block = device.sets[DRAVIK_SIM_CURRENT][size_t(device.lastCommand - kFirstBlock)];
        std::memcpy(&reply[1], block.data(), block.size());
    } else if (device.lastCommand == kIdentity) {
        reply[1] = static_cast<uint8_t>(device.luid & 0xFF);
        reply[2] = static_cast<uint8_t>(device.luid >> 8);
        reply[3] = static_cast<uint8_t>(device.did & 0xFF);
        reply[4] = static_cast<uint8_t>(device.did >> 8);
        for (size_t i = 0; i < device.nibbles.size(); ++i)
            reply[5 + i] = device.nibbles[i] & 0x0F;
    } else if (device.lastCommand == kRange) {
        std::memcpy(&reply[1], device.range.data(), device.range.size());
    }
    return reply;
}

bool acceptableReport(const Device& device, const void* report, uint32_t length)
{
    return device.isSensor && report != nullptr && length == kReportLength &&
           static_cast<const uint8_t*>(report)[0] == 0;
}

std::array<uint8_t, 4> digitsOf(uint16_t word)
{
    return {static_cast<uint8_t>(word >> 12), static_cast<uint8_t>((word >> 8) & 0x0F),
            static_cast<uint8_t>((word >> 4) & 0x0F), static_cast<uint8_t>(word & 0x0F)};
}

HANDLE backendOpen(const char* path)
{
    Simulator& s = sim();
    if (!roomForOne(s.trace) || !roomForOne(s.handles))
        return INVALID_HANDLE_VALUE;
    int id = -1;
    for (size_t i = 0; i < s.devices.size() && path != nullptr; ++i)
        if (samePathIgnoringCase(s.devices[i].path, path))
            id = static_cast<int>(i);
    const bool refused = faultRefuses(DRAVIK_SIM_OPEN, id, kNoCommand) || id < 0;
    DravikSimTraceEntry entry = newEntry(DRAVIK_SIM_OPEN, id, refused);
    if (path != nullptr)
        std::snprintf(entry.path, sizeof entry.path, "%s", path);
    record(entry);
    if (refused)
        return INVALID_HANDLE_VALUE;
    const uintptr_t value = s.nextHandle++;
    s.handles.push_back({value, id});
    return reinterpret_cast<HANDLE>(value);
}

BOOL backendClose(HANDLE handle)
{
    Simulator& s = sim();
    if (!roomForOne(s.trace))
        return FALSE;
    for (auto h = s.handles.begin(); h != s.handles.end(); ++h) {
        if (reinterpret_cast<void*>(h->value) != handle)
            continue;
        record(newEntry(DRAVIK_SIM_CLOSE, h->device, false));
        s.handles.erase(h);
        return TRUE;
    }
    return FALSE;
}

// A pause passes also when the trace has no room for it.
void backendSleep(DWORD milliseconds)
{
    if (roomForOne(sim().trace)) {
        DravikSimTraceEntry entry = newEntry(DRAVIK_SIM_PAUSE, -1, false);
        entry.pauseMs = milliseconds;
        record(entry);
    }
    if (sim().realTime)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    else
        sim().virtualMs += milliseconds;
}

const DeviceBackend kBackend = {backendOpen, backendClose, backendSleep};

const char* eventName(unsigned kind)
{
    switch (kind) {
    case DRAVIK_SIM_OPEN:
        return "open";
    case DRAVIK_SIM_ATTRIBUTES:
        return "attributes";
    case DRAVIK_SIM_CLOSE:
        return "close";
    case DRAVIK_SIM_COMMAND_REPORT:
        return "command";
    case DRAVIK_SIM_DATA_REPORT:
        return "data";
    case DRAVIK_SIM_FEATURE_READ:
        return "read";
    case DRAVIK_SIM_PAUSE:
        return "pause";
    case DRAVIK_SIM_LIST:
        return "list";
    case DRAVIK_SIM_INTERFACE:
        return "interface";
    case DRAVIK_SIM_SIZE_QUERY:
        return "size";
    case DRAVIK_SIM_DETAIL_QUERY:
        return "detail";
    default:
        return "unknown";
    }
}

std::string formatEntry(const DravikSimTraceEntry& entry)
{
    char part[160];
    std::snprintf(part, sizeof part, "T+%llu ", static_cast<unsigned long long>(entry.timeMs));
    std::string line = part;
    if (entry.device < 0) {
        line += "- ";
    } else {
        std::snprintf(part, sizeof part, "dev%d ", entry.device);
        line += part;
    }
    line += eventName(entry.kind);
    const bool hasBytes = entry.kind == DRAVIK_SIM_COMMAND_REPORT || entry.kind == DRAVIK_SIM_DATA_REPORT ||
                          (entry.kind == DRAVIK_SIM_FEATURE_READ && !entry.refused);
    if (hasBytes) {
        for (uint8_t byte : entry.bytes) {
            std::snprintf(part, sizeof part, " %02X", byte);
            line += part;
        }
    } else if (entry.kind == DRAVIK_SIM_PAUSE) {
        std::snprintf(part, sizeof part, " %u", entry.pauseMs);
        line += part;
    } else if (entry.kind == DRAVIK_SIM_OPEN) {
        line += ' ';
        line += entry.path;
    } else if (entry.kind == DRAVIK_SIM_ATTRIBUTES && !entry.refused) {
        std::snprintf(part, sizeof part, " %04X %04X %04X", entry.vendorId, entry.productId, entry.versionNumber);
        line += part;
    }
    if (entry.refused)
        line += " refused";
    return line;
}

}  // namespace

extern "C" {

void dravikSimReset(void)
{
    Simulator& s = sim();
    s.devices.clear();
    s.handles.clear();
    s.faults.clear();
    s.trace.clear();
    s.missing.clear();
    s.realTime = false;
    restartClock();
}

void dravikSimSetRealTime(int realTime)
{
    sim().realTime = realTime != 0;
}

int dravikSimAddDevice(const DravikSimDeviceSpec* spec)
{
    if (spec == nullptr || spec->path == nullptr)
        return -1;
    return withoutExceptions(-1, [spec] {
        Device device;
        device.path = spec->path;
        device.vendorId = spec->vendorId;
        device.productId = spec->productId;
        device.versionNumber = spec->versionNumber;
        device.isSensor = spec->isSensor != 0;
        device.sets.fill(kDefaultBlocks);
        device.did = spec->versionNumber;
        device.nibbles = digitsOf(spec->versionNumber);
        sim().devices.push_back(std::move(device));
        return static_cast<int>(sim().devices.size() - 1);
    });
}

int dravikSimDeviceCount(void)
{
    return static_cast<int>(sim().devices.size());
}

int dravikSimSetBlock(int device, int set, uint8_t command, const uint8_t data[8])
{
    Device* d = deviceAt(device);
    if (d == nullptr || data == nullptr || set < DRAVIK_SIM_CURRENT || set > DRAVIK_SIM_USER || !isConfigBlock(command))
        return 0;
    std::memcpy(d->sets[size_t(set)][size_t(command - kFirstBlock)].data(), data, 8);
    return 1;
}

int dravikSimGetBlock(int device, int set, uint8_t command, uint8_t data[8])
{
    const Device* d = deviceAt(device);
    if (d == nullptr || data == nullptr || set < DRAVIK_SIM_CURRENT || set > DRAVIK_SIM_USER || !isConfigBlock(command))
        return 0;
    std::memcpy(data, d->sets[size_t(set)][size_t(command - kFirstBlock)].data(), 8);
    return 1;
}

int dravikSimSetIdentity(int device, uint16_t luid, uint16_t did, const uint8_t nibbles[4])
{
    Device* d = deviceAt(device);
    if (d == nullptr)
        return 0;
    d->luid = luid;
    d->did = did;
    if (nibbles != nullptr)
        std::memcpy(d->nibbles.data(), nibbles, d->nibbles.size());
    return 1;
}

int dravikSimGetIdentity(int device, uint16_t* luid, uint16_t* did, uint8_t nibbles[4])
{
    const Device* d = deviceAt(device);
    if (d == nullptr)
        return 0;
    if (luid != nullptr)
        *luid = d->luid;
    if (did != nullptr)
        *did = d->did;
    if (nibbles != nullptr)
        std::memcpy(nibbles, d->nibbles.data(), d->nibbles.size());
    return 1;
}

int dravikSimSetRange(int device, const uint8_t reply[8])
{
    Device* d = deviceAt(device);
    if (d == nullptr || reply == nullptr)
        return 0;
    std::memcpy(d->range.data(), reply, d->range.size());
    return 1;
}

int dravikSimHalted(int device)
{
    const Device* d = deviceAt(device);
    return d == nullptr ? -1 : (d->halted ? 1 : 0);
}

int dravikSimAddFault(const DravikSimFault* fault)
{
    if (fault == nullptr)
        return 0;
    return withoutExceptions(0, [fault] {
        sim().faults.add(*fault);
        return 1;
    });
}

void dravikSimClearFaults(void)
{
    sim().faults.clear();
}

size_t dravikSimTraceCount(void)
{
    return sim().trace.size();
}

int dravikSimTraceEntry(size_t index, DravikSimTraceEntry* entry)
{
    if (entry == nullptr || index >= sim().trace.size())
        return 0;
    *entry = sim().trace[index];
    return 1;
}

void dravikSimClearTrace(void)
{
    sim().trace.clear();
    restartClock();
}

void dravikSimSetTraceListener(DravikSimTraceListener listener, void* context)
{
    sim().listener = listener;
    sim().listenerContext = context;
}

size_t dravikSimFormatTraceEntry(const DravikSimTraceEntry* entry, char* buffer, size_t size)
{
    if (buffer != nullptr && size > 0)
        buffer[0] = '\0';
    if (entry == nullptr)
        return 0;
    return withoutExceptions<size_t>(0, [entry, buffer, size] {
        const std::string line = formatEntry(*entry);
        if (buffer != nullptr && size > 0)
            std::snprintf(buffer, size, "%s", line.c_str());
        return line.size();
    });
}

uint8_t DRAVIK_SIM_HID_CALL dravikSimHidGetAttributes(void* handle, HIDD_ATTRIBUTES* attributes)
{
    const int id = deviceForHandle(handle);
    if (id < 0 || attributes == nullptr || !roomForOne(sim().trace))
        return FALSE;
    const Device& device = *deviceAt(id);
    const bool refused = faultRefuses(DRAVIK_SIM_ATTRIBUTES, id, kNoCommand);
    DravikSimTraceEntry entry = newEntry(DRAVIK_SIM_ATTRIBUTES, id, refused);
    if (!refused) {
        attributes->VendorID = entry.vendorId = device.vendorId;
        attributes->ProductID = entry.productId = device.productId;
        attributes->VersionNumber = entry.versionNumber = device.versionNumber;
    }
    record(entry);
    return refused ? FALSE : TRUE;
}

uint8_t DRAVIK_SIM_HID_CALL dravikSimHidSetFeature(void* handle, void* report, DravikSimReportLength length)
{
    const int id = deviceForHandle(handle);
    if (id < 0 || !roomForOne(sim().trace))
        return FALSE;
    Device& device = *deviceAt(id);
    Report sent{};
    if (report != nullptr)
        std::memcpy(sent.data(), report, length < kReportLength ? length : kReportLength);
    const bool isCommand = (sent[1] & 0x80) != 0;
    const unsigned kind = isCommand ? DRAVIK_SIM_COMMAND_REPORT : DRAVIK_SIM_DATA_REPORT;
    const int command = isCommand ? sent[1] : device.lastCommand;
    const bool refused = faultRefuses(kind, id, command) || !acceptableReport(device, report, length);
    recordReport(kind, id, refused, sent.data());
    if (refused)
        return FALSE;
    if (isCommand)
        applyCommand(device, sent);
    else
        applyData(device, sent);
    return TRUE;
}

uint8_t DRAVIK_SIM_HID_CALL dravikSimHidGetFeature(void* handle, void* report, DravikSimReportLength length)
{
    const int id = deviceForHandle(handle);
    if (id < 0 || !roomForOne(sim().trace))
        return FALSE;
    const Device& device = *deviceAt(id);
    const bool refused = faultRefuses(DRAVIK_SIM_FEATURE_READ, id, device.lastCommand) ||
                         !acceptableReport(device, report, length);
    if (refused) {
        recordReport(DRAVIK_SIM_FEATURE_READ, id, true, nullptr);
        return FALSE;
    }
    const Report reply = replyFor(device);
    std::memcpy(report, reply.data(), reply.size());
    recordReport(DRAVIK_SIM_FEATURE_READ, id, false, reply.data());
    return TRUE;
}

const DeviceBackend* dravikSimDeviceBackend(void)
{
    return &kBackend;
}

int dravikSimEnumerationStep(unsigned kind, int device)
{
    if (!roomForOne(sim().trace))
        return 1;
    const bool refused = faultRefuses(kind, device, kNoCommand);
    record(newEntry(kind, device, refused));
    return refused ? 1 : 0;
}

const char* dravikSimDevicePath(int device)
{
    const Device* d = deviceAt(device);
    return d == nullptr ? nullptr : d->path.c_str();
}

int dravikSimSetDetailSize(int device, uint32_t size)
{
    Device* d = deviceAt(device);
    if (d == nullptr)
        return 0;
    d->detailSize = size;
    return 1;
}

uint32_t dravikSimDetailSize(int device)
{
    const Device* d = deviceAt(device);
    return d == nullptr ? 0 : d->detailSize;
}

int dravikSimSetMissing(const char* name, int missing)
{
    if (name == nullptr)
        return 0;
    auto& names = sim().missing;
    if (!missing) {
        const auto found = names.find(name);
        if (found != names.end())
            names.erase(found);
        return 1;
    }
    return withoutExceptions(0, [&names, name] {
        names.emplace(name);
        return 1;
    });
}

int dravikSimIsMissing(const char* name)
{
    return name != nullptr && sim().missing.count(name) != 0 ? 1 : 0;
}

}  // extern "C"
