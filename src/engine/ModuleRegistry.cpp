#include "engine/ModuleRegistry.h"

#include <new>

#include "engine/QX_DSP_StandIn.h"
#include "engine/QX_DSP_StandInAllocator.h"
#include "modules/effects/QX_DSP_Adder.h"
#include "modules/effects/QX_DSP_Chorus3v.h"
#include "modules/effects/QX_DSP_Delay.h"
#include "modules/effects/QX_DSP_Delay_ST.h"
#include "modules/effects/QX_DSP_BiQuad_Coeff.h"
#include "modules/effects/QX_DSP_BiQuad_Multi_Engine.h"
#include "modules/effects/QX_DSP_BiQuad_Static.h"
#include "modules/effects/QX_DSP_Dual_Level.h"
#include "modules/effects/QX_DSP_FadeIn.h"
#include "modules/effects/QX_DSP_Level_ABxC.h"
#include "modules/effects/QX_DSP_Level_ABxCxD.h"
#include "modules/effects/QX_DSP_Level_AxB_CD.h"
#include "modules/effects/QX_DSP_Level_FX_BUS.h"
#include "modules/effects/QX_DSP_Multi_Filter.h"
#include "modules/effects/QX_DSP_Panner.h"
#include "modules/effects/QX_DSP_PitchShifter.h"
#include "modules/effects/QX_DSP_Saturation.h"
#include "modules/effects/QX_DSP_Soft_Limiter.h"
#include "modules/effects/QX_DSP_ST_Level.h"
#include "modules/effects/QX_DSP_XMix.h"
#include "modules/effects/QX_DSP_XMixVol.h"
#include "modules/modulation/QX_DSP_Copy_Paste.h"
#include "modules/modulation/QX_DSP_FdB_to_VFGain.h"
#include "modules/modulation/QX_DSP_FixedValueToINT_FLOAT.h"
#include "modules/modulation/QX_DSP_FixedValueToVolt.h"
#include "modules/modulation/QX_DSP_Float_Adder.h"
#include "modules/modulation/QX_DSP_Float_Converter.h"
#include "modules/modulation/QX_DSP_Float_Converter_Switch.h"
#include "modules/modulation/QX_DSP_Float_to_Volt.h"
#include "modules/modulation/QX_DSP_Glide_F.h"
#include "modules/modulation/QX_DSP_GUI_Multi_ABxC.h"
#include "modules/modulation/QX_DSP_GUI_Multi_AxB_C.h"
#include "modules/modulation/QX_DSP_GUItoV_Glide.h"
#include "modules/modulation/QX_DSP_GUItoV_Glide_Multi.h"
#include "modules/modulation/QX_DSP_HAHDSR_Env.h"
#include "modules/modulation/QX_DSP_LFO.h"
#include "modules/modulation/QX_DSP_OS_Command.h"
#include "modules/modulation/QX_DSP_Velkor2_Control.h"
#include "modules/sources/QX_DSP_Host_AudioIn.h"
#include "modules/sources/QX_DSP_Noise.h"
#include "modules/sources/QX_DSP_OSC_Multi_Out_x8.h"
#include "modules/sources/QX_DSP_Velkor2_OSC_Combine.h"
#include "modules/voice/QX_DSP_Counter_Indexing.h"
#include "modules/voice/QX_DSP_Host_Tempo.h"
#include "modules/voice/QX_DSP_Midi_Adder.h"
#include "modules/voice/QX_DSP_Midi_Phrase_Arp.h"
#include "modules/voice/QX_DSP_Midi_Sync_Tempo.h"
#include "modules/voice/QX_DSP_Midi_to_Poly_Gen2.h"
#include "modules/voice/QX_DSP_MPE_Switch.h"
#include "modules/voice/QX_DSP_Poly_to_Mono.h"

namespace {

template <class Module>
QX_ModuleBase* make(const ModuleContext& context) {
    return new (std::nothrow) Module(context.host, context.asleep);
}

// Classes that serve a voice also get the voice allocator and their copy index.
template <class Module>
QX_ModuleBase* makeVoiceLinked(const ModuleContext& context) {
    return new (std::nothrow) Module(context.host, context.asleep, context.allocator, context.copy);
}

QX_ModuleBase* makeStandIn(const ModuleContext& context) {
    return new (std::nothrow) QX_DSP_StandIn(context.host, context.asleep);
}

QX_ModuleBase* makeStandInAllocator(const ModuleContext& context) {
    return new (std::nothrow) QX_DSP_StandInAllocator(context.host, context.asleep);
}

using enum ModuleRole;

constexpr ModuleClass kModuleClasses[] = {
    {6535, 6536, VoiceAllocator, "QX_DSP_Midi_to_Poly", makeStandInAllocator, true},
    {6542, 6543, VoiceAllocator, "QX_DSP_Midi_to_Poly_Gen2", make<QX_DSP_Midi_to_Poly_Gen2>, false},
    {6531, 6532, VoiceSumming, "QX_DSP_Poly_to_Mono", make<QX_DSP_Poly_to_Mono>, false},
    {6003, 6003, Plain, "QX_DSP_Host_AudioIn", make<QX_DSP_Host_AudioIn>, false},
    {6004, 6005, Plain, "QX_DSP_FixedValueToVolt", make<QX_DSP_FixedValueToVolt>, false},
    {6007, 6008, Plain, "QX_DSP_FixedValueToINT_FLOAT", make<QX_DSP_FixedValueToINT_FLOAT>, false},
    {6012, 6016, Plain, "QX_DSP_GUItoV_Glide", make<QX_DSP_GUItoV_Glide>, false},
    {6018, 6029, Plain, "QX_DSP_GUItoV_Glide_Multi", make<QX_DSP_GUItoV_Glide_Multi>, false},
    {6031, 6035, Plain, "QX_DSP_GUI_Multi_ABxC", make<QX_DSP_GUI_Multi_ABxC>, false},
    {6037, 6039, Plain, "QX_DSP_GUI_Multi_AxB_C", make<QX_DSP_GUI_Multi_AxB_C>, false},
    {6074, 6127, Plain, "QX_DSP_Adder", make<QX_DSP_Adder>, false},
    {6526, 6527, Plain, "QX_DSP_MPE_Switch", make<QX_DSP_MPE_Switch>, false},
    {6051, 6054, Plain, "QX_DSP_Float_to_Volt", make<QX_DSP_Float_to_Volt>, false},
    {6059, 6064, Plain, "QX_DSP_Float_Converter_Switch", make<QX_DSP_Float_Converter_Switch>, false},
    {6056, 6057, Plain, "QX_DSP_Float_Converter", make<QX_DSP_Float_Converter>, false},
    {6066, 6066, Plain, "QX_DSP_Float_Adder", make<QX_DSP_Float_Adder>, false},
    {6228, 6232, Plain, "QX_DSP_ST_Level", make<QX_DSP_ST_Level>, false},
    {6224, 6226, Plain, "QX_DSP_Dual_Level", make<QX_DSP_Dual_Level>, false},
    {6137, 6142, Plain, "QX_DSP_Level_ABxCxD", make<QX_DSP_Level_ABxCxD>, false},
    {6151, 6154, Plain, "QX_DSP_Level_ABxC", make<QX_DSP_Level_ABxC>, false},
    {6169, 6174, Plain, "QX_DSP_Level_AxB_CD", make<QX_DSP_Level_AxB_CD>, false},
    {6184, 6186, Plain, "QX_DSP_Level_FX_BUS", make<QX_DSP_Level_FX_BUS>, false},
    {6239, 6241, Plain, "QX_DSP_XMix", make<QX_DSP_XMix>, false},
    {6243, 6249, Plain, "QX_DSP_XMixVol", make<QX_DSP_XMixVol>, false},
    {6251, 6252, Plain, "QX_DSP_Panner", make<QX_DSP_Panner>, false},
    {6264, 6265, Plain, "QX_DSP_Saturation", make<QX_DSP_Saturation>, false},
    {6258, 6260, Plain, "QX_DSP_Soft_Limiter", make<QX_DSP_Soft_Limiter>, false},
    {6281, 6283, Plain, "QX_DSP_Counter_Indexing", make<QX_DSP_Counter_Indexing>, false},
    {6293, 6297, Plain, "QX_DSP_HAHDSR_Env", make<QX_DSP_HAHDSR_Env>, false},
    {6299, 6300, VoiceLinked, "QX_DSP_HAHDSR_Env", makeVoiceLinked<QX_DSP_HAHDSR_Env>, false},
    {6306, 6310, Plain, "QX_DSP_FadeIn", make<QX_DSP_FadeIn>, false},
    {6043, 6044, Plain, "QX_DSP_Glide_F", make<QX_DSP_Glide_F>, false},
    {6344, 6347, Plain, "QX_DSP_Delay", make<QX_DSP_Delay>, false},
    {6349, 6350, Plain, "QX_DSP_Delay_ST", make<QX_DSP_Delay_ST>, false},
    {6354, 6357, Plain, "QX_DSP_OSC_Multi_Out_x8", make<QX_DSP_OSC_Multi_Out_x8>, false},
    {6359, 6360, Plain, "QX_DSP_Noise", make<QX_DSP_Noise>, false},
    {6362, 6368, Plain, "QX_DSP_LFO", make<QX_DSP_LFO>, false},
    {6374, 6375, Plain, "QX_DSP_Chorus3v", make<QX_DSP_Chorus3v>, false},
    {6459, 6463, Plain, "QX_DSP_PitchShifter", make<QX_DSP_PitchShifter>, false},
    {6425, 6427, Plain, "QX_DSP_BiQuad_Static", make<QX_DSP_BiQuad_Static>, false},
    {6429, 6432, Plain, "QX_DSP_BiQuad_Coeff", make<QX_DSP_BiQuad_Coeff>, false},
    {6438, 6442, Plain, "QX_DSP_BiQuad_Multi_Engine", make<QX_DSP_BiQuad_Multi_Engine>, false},
    {6444, 6447, Plain, "QX_DSP_Multi_Filter", make<QX_DSP_Multi_Filter>, false},
    {6449, 6449, VoiceLinked, "QX_DSP_Multi_Filter", makeVoiceLinked<QX_DSP_Multi_Filter>, false},
    {6417, 6420, Plain, "QX_DSP_FdB_to_VFGain", make<QX_DSP_FdB_to_VFGain>, false},
    {6490, 6491, Plain, "QX_DSP_Host_Tempo", make<QX_DSP_Host_Tempo>, false},
    {6487, 6488, Plain, "QX_DSP_Midi_Sync_Tempo", make<QX_DSP_Midi_Sync_Tempo>, false},
    {6493, 6495, Plain, "QX_DSP_Midi_Adder", make<QX_DSP_Midi_Adder>, false},
    {6497, 6497, Plain, "QX_DSP_Midi_Velocity", makeStandIn, true},
    {6504, 6505, Plain, "QX_DSP_Midi_Phrase_Arp", make<QX_DSP_Midi_Phrase_Arp>, false},
    {6508, 6524, Plain, "QX_DSP_Copy_Paste", make<QX_DSP_Copy_Paste>, false},
    {6507, 6507, Plain, "QX_DSP_OS_Command", make<QX_DSP_OS_Command>, false},
    {6529, 6529, Plain, "QX_DSP_Velkor2_Control", make<QX_DSP_Velkor2_Control>, false},
    {6530, 6530, Plain, "QX_DSP_Velkor2_OSC_Combine", make<QX_DSP_Velkor2_OSC_Combine>, false},
};

}  // namespace

const ModuleClass* findModuleClass(int moduleId) {
    for (const ModuleClass& row : kModuleClasses) {
        if (moduleId >= row.firstId && moduleId <= row.lastId) {
            return &row;
        }
    }
    return nullptr;
}

std::span<const ModuleClass> moduleClasses() { return kModuleClasses; }
