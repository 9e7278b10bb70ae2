#include "app/camera.h"
#include "platform/desktop/vertical_sync.h"

#include <GL/glut.h>
#include <benchmark/benchmark.h>

// The world and the frame need a real OpenGL context: one 1024 by 768 GLUT
// window, as the game opens it (run under xvfb-run where there is no display).
// Frames are drawn unpaced, with no wait for the screen on a driver that would.
int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(Camera::kWindowWidth, Camera::kWindowHeight);
    glutCreateWindow("Vantorel benchmarks");
    requestSwapInterval(0);
    getCamera().reshape(Camera::kWindowWidth, Camera::kWindowHeight);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
