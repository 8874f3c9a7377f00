// Effects that rewrite every active particle at once, on the user's command or at start-up.
// Each walks records 0..particleCount-1 in order and changes only the fields it names.
#pragma once

// Launches every active particle from the emitter in orange: velocity, position, gravity,
// colour and a life that is the mean of two draws. 24 draws per record. windAccel stays.
void ResetParticles();

// Puts record i at one of four corners by i mod 4 and throws it up in orange. 24 draws per
// record. Leaves verticalAccel and initialLife, so a frozen particle flies straight.
void Burst();

// New horizontal velocities; height, vertical speed and life stay. 16 draws per record.
void Scatter();

// Stops every particle where it is, without gravity, for 18 seconds.
void Freeze();

// verticalAccel + 0.01 (Updraft) or - 0.01 (Downdraft), until the next relaunch.
void Updraft();
void Downdraft();

// windAccel + 0.01 (east, +x) or - 0.01 (west); nothing ever clears it.
void EastWind();
void WestWind();
