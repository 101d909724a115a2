#include "tools/marlet-host/PluginInfo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/marlet-host/VstPluginModule.h"

namespace {

std::string Label(const char* text, std::size_t capacity)
{
    return std::string(text, strnlen(text, capacity));
}

vst::intptr CanDo(VstPluginModule& module, const std::string& what)
{
    std::string text = what;  // the plug-in takes a non-const pointer
    return module.Dispatch(vst::effCanDo, 0, 0, text.data());
}

}  // namespace

std::string PluginInfo::FourCharacters(std::int32_t id)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>(static_cast<std::uint32_t>(id) >> shift);
        if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text;
}

void PluginInfo::Print(VstPluginModule& module, std::span<const std::string> extraCanDo,
                       std::ostream& out)
{
    module.Dispatch(vst::effOpen);
    const AEffect& effect = *module.Effect();
    out << "name: " << module.EffectName() << '\n'
        << "vendor: " << module.VendorString() << '\n'
        << "product: " << module.ProductString() << '\n'
        << "vendor version: " << module.Dispatch(vst::effGetVendorVersion) << '\n'
        << "unique ID: " << FourCharacters(effect.uniqueID) << '\n'
        << "VST version: " << module.Dispatch(vst::effGetVstVersion) << '\n'
        << "category: " << module.Dispatch(vst::effGetPlugCategory) << '\n'
        << "inputs: " << effect.numInputs << '\n'
        << "outputs: " << effect.numOutputs << '\n';

    const vst::int32 pins = std::min(effect.numOutputs, VstPluginModule::kMaxPins);
    for (vst::int32 i = 0; i < pins; ++i) {
        VstPinProperties pin {};
        out << "output " << i << ": ";
        if (module.Dispatch(vst::effGetOutputProperties, i, 0, &pin))
            out << Label(pin.label, sizeof pin.label) << " (flags " << pin.flags << ")\n";
        else
            out << "no properties\n";
    }
    if (pins < effect.numOutputs) out << "(further outputs not listed)\n";

    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%X", static_cast<unsigned>(effect.flags));
    out << "flags: " << flags << '\n';

    for (const char* what : kStandardCanDo)
        out << "canDo " << what << ": " << CanDo(module, what) << '\n';
    for (const auto& what : extraCanDo)
        out << "canDo " << what << ": " << CanDo(module, what) << '\n';
}
