# The game survives what it cannot use: with every texture missing it runs on
# the checkerboard default, and with a broken shader it prints the compiler's
# log and carries on without shadows.
source "$(dirname "$0")/lib.sh"

run=$(make_runtime)
trap 'rm -rf "$run"' EXIT
cd "$run"

# 1. No textures at all.
mv Textures Textures.away
"$BUILD_DIR/game/shell/tessivar" >log.txt 2>err.txt &
pid=$!
wait_for_text log.txt "failed to load Textures/morviD.tga!giving default texture id" 30
sleep 3
kill -0 "$pid" || { echo "tessivar stopped without textures"; cat log.txt err.txt; exit 1; }
screenshot fallback-no-textures
stop_process "$pid"
mv Textures.away Textures

# 2. A fragment shader that does not compile.
echo "this is not GLSL" > Shaders/shadows.frag
"$BUILD_DIR/game/shell/tessivar" >log2.txt 2>err2.txt &
pid=$!
wait_for_text log2.txt "Cannot compile Shaders/shadows.frag" 30
wait_for_text log2.txt "Shadows maps disabled" 10
sleep 3
kill -0 "$pid" || { echo "tessivar stopped with a broken shader"; cat log2.txt err2.txt; exit 1; }
screenshot fallback-broken-shader
stop_process "$pid"

# 3. A missing vertex shader.
rm Shaders/shadows.vert
"$BUILD_DIR/game/shell/tessivar" >log3.txt 2>err3.txt &
pid=$!
wait_for_text log3.txt "Cannot read shader source Shaders/shadows.vert" 30
sleep 2
kill -0 "$pid" || { echo "tessivar stopped without a shader"; cat log3.txt err3.txt; exit 1; }
stop_process "$pid"
echo "fallbacks windowed test passed"
