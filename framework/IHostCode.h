#pragma once

#include <cstdint>

/// The hosts the plug-in base can tell apart by their names. The numbers are the codes the
/// framework has always reported (they are compared in tests and may appear in logs), so an
/// entry never changes its number. Which behaviour depends on which host is decided in one
/// place per adapter (HostQuirks in each adapter), never by comparing codes elsewhere.
enum class IHostCode : int32_t
{
    NotAsked = -1, ///< the host has not been identified yet
    Unknown = 0,   ///< no known name matched
    Reaper = 1,
    ProTools = 2,
    Cubase = 3,
    Nuendo = 4,
    Cakewalk = 5,
    Fruity = 7,
    Samplitude = 8,
    Live = 9,
    Melodyne = 12,
    VstManLib = 13,
    AuLab = 14,
    Forte = 15,
    Chainer = 16,
    Audition = 17,
    Orion = 18,
    SawStudio = 20,
    Logic = 21,
    GarageBand = 22,
    Digital = 23,
    Standalone = 24,
    AudioMulch = 25,
    PreSonus = 26,
    Vst3TestHost = 27,
    Ardour = 28,
    Renoise = 29,
    OpenMpt = 30,
    WaveLab = 31,
};
