#pragma once
// The milling writer's state and the lift/plunge markers it records.
#include <string>
#include <vector>

namespace parvel {

struct EtatFraisage {
    bool Degage = true;
    bool DegagePrec = false;
    std::string SuffixeYD; // carried over from one load to the next
};

struct Marque {
    double X = 0, Y = 0;
    std::string Label; // "Up" or "Down"
    int Couleur = 0;   // 2 for "Up", 4 for "Down"
};

} // namespace parvel
