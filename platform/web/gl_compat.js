// What the game's drawing asks of OpenGL 1.1 that emscripten's emulation of it
// (3.1.6, over WebGL 1) lacks or reads otherwise, so that render/ draws the
// same on the page as on the desktop, line for line. Linked with --js-library.
//
// - Display lists: a list keeps the calls made while it was compiled (binds,
//   quads, matrix steps) and makes them again when called.
// - The attribute stacks, for the state the game saves: the enables, the
//   current colour, the list base, the matrix mode, the blend and clear
//   colour, the scissor box, and the unpack alignment.
// - glTexCoord2d, as glTexCoord2f.
// - GL_CLAMP, which WebGL lacks, as GL_CLAMP_TO_EDGE: the game's textures are
//   never sampled past their edge texels' centres but at the transparent rim
//   of a sprite, where the two agree.
// - A texture stored as RGBA from luminance and alpha, which WebGL 1 refuses:
//   the texels are widened to (L, L, L, A), what desktop OpenGL stores.
// - The emulation keeps one vertex layout for a whole quad, so a normal given
//   once before the first vertex would garble it; nothing is lit, so a normal
//   is dropped.
var LibraryGLCompat = {
  $GLCompat__deps: ['$GL', '$GLEmulation', '$GLImmediate', 'glBegin', 'glEnd', 'glVertex2f',
    'glTexCoord2f', 'glNormal3f', 'glBindTexture', 'glPushMatrix', 'glPopMatrix', 'glTranslatef',
    'glEnable', 'glDisable', 'glIsEnabled', 'glColor4f', 'glMatrixMode', 'glPixelStorei',
    'glTexParameteri', 'glTexImage2D', 'glBlendFunc', 'glAlphaFunc', 'glClearColor', 'glScissor'],
  $GLCompat__postset: 'GLCompat.install();',
  $GLCompat: {
    lists: {},
    nextList: 1,
    listBase: 0,
    compiling: null,
    compilingList: 0,
    attributeStack: [],
    clientAttributeStack: [],

    // The calls a display list keeps are wrapped so that, while a list is
    // being compiled, each is kept rather than made. The wrapping must come
    // before the program is given its imports.
    install: function() {
      var keep = function(make) {
        return function() {
          if (GLCompat.compiling) {
            GLCompat.compiling.push([make, Array.prototype.slice.call(arguments)]);
          } else {
            make.apply(null, arguments);
          }
        };
      };
      _glBegin = keep(_glBegin);
      _glEnd = keep(_glEnd);
      _glVertex2f = keep(_glVertex2f);
      _glTexCoord2f = keep(_glTexCoord2f);
      _glBindTexture = keep(_glBindTexture);
      _glPushMatrix = keep(_glPushMatrix);
      _glPopMatrix = keep(_glPopMatrix);
      _glTranslatef = keep(_glTranslatef);
      _glNormal3f = function() {};

      var texParameteri = _glTexParameteri;
      _glTexParameteri = function(target, name, value) {
        texParameteri(target, name, value == 0x2900 /* GL_CLAMP */ ? 0x812F /* GL_CLAMP_TO_EDGE */ : value);
      };
      var texImage2D = _glTexImage2D;
      _glTexImage2D = function(target, level, internalFormat, width, height, border, format, type, pixels) {
        if (internalFormat == 0x1908 /* GL_RGBA */ && format == 0x190A /* GL_LUMINANCE_ALPHA */ &&
            type == 0x1401 /* GL_UNSIGNED_BYTE */ && pixels) {
          GLCompat.texImageWidened(target, level, width, height, border, pixels, texImage2D);
          return;
        }
        texImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
      };
    },

    texImageWidened: function(target, level, width, height, border, pixels, texImage2D) {
      var rowBytes = 2 * width;
      var stride = Math.ceil(rowBytes / GL.unpackAlignment) * GL.unpackAlignment;
      var rgba = _malloc(4 * width * height);
      for (var row = 0; row < height; ++row) {
        for (var column = 0; column < width; ++column) {
          var from = pixels + row * stride + 2 * column;
          var to = rgba + 4 * (row * width + column);
          HEAPU8[to] = HEAPU8[to + 1] = HEAPU8[to + 2] = HEAPU8[from];
          HEAPU8[to + 3] = HEAPU8[from + 1];
        }
      }
      var alignment = GL.unpackAlignment;
      _glPixelStorei(0x0CF5 /* GL_UNPACK_ALIGNMENT */, 4);
      texImage2D(target, level, 0x1908, width, height, border, 0x1908, 0x1401, rgba);
      _glPixelStorei(0x0CF5, alignment);
      _free(rgba);
    },

    callList: function(list) {
      var calls = GLCompat.lists[list];
      if (!calls) {
        return;
      }
      for (var i = 0; i < calls.length; ++i) {
        calls[i][0].apply(null, calls[i][1]);
      }
    },

    // The enables the game saves and restores; GL_TEXTURE_2D is the
    // emulation's own, kept per texture unit.
    savedCapabilities: [0xDE1 /* TEXTURE_2D */, 0xBE2 /* BLEND */, 0xBC0 /* ALPHA_TEST */,
      0xB71 /* DEPTH_TEST */, 0xB44 /* CULL_FACE */, 0xC11 /* SCISSOR_TEST */, 0xB50 /* LIGHTING */],

    isEnabled: function(capability) {
      if (capability == 0xDE1) {
        return GLImmediate.TexEnvJIT.getTexUnitType(0) == 0xDE1;
      }
      return !!_glIsEnabled(capability);
    },

    // Only what changed is set again: every change makes the emulation look
    // for another shader.
    saveEnables: function(capabilities) {
      var enabled = capabilities.map(GLCompat.isEnabled);
      return function() {
        capabilities.forEach(function(capability, i) {
          if (GLCompat.isEnabled(capability) != enabled[i]) {
            (enabled[i] ? _glEnable : _glDisable)(capability);
          }
        });
      };
    },

    saveColourBuffer: function() {
      var clear = GLctx.getParameter(GLctx.COLOR_CLEAR_VALUE);
      var blend = [GLctx.getParameter(GLctx.BLEND_SRC_RGB), GLctx.getParameter(GLctx.BLEND_DST_RGB)];
      var alphaTest = [GLEmulation.alphaTestFunc, GLEmulation.alphaTestRef];
      var restoreEnables = GLCompat.saveEnables([0xBE2, 0xBC0]);
      return function() {
        _glClearColor(clear[0], clear[1], clear[2], clear[3]);
        _glBlendFunc(blend[0], blend[1]);
        _glAlphaFunc(alphaTest[0], alphaTest[1]);
        restoreEnables();
      };
    },

    saveScissor: function() {
      var box = GLctx.getParameter(GLctx.SCISSOR_BOX);
      var restoreEnables = GLCompat.saveEnables([0xC11]);
      return function() {
        _glScissor(box[0], box[1], box[2], box[3]);
        restoreEnables();
      };
    },

    saveCurrentColour: function() {
      var colour = Array.prototype.slice.call(GLImmediate.clientColor);
      return function() {
        _glColor4f(colour[0], colour[1], colour[2], colour[3]);
      };
    },

    saveMatrixMode: function() {
      var matrix = GLImmediate.currentMatrix;
      return function() {
        _glMatrixMode(matrix == 0 ? 0x1700 : matrix == 1 ? 0x1701 : 0x1702);
      };
    },

    saveListBase: function() {
      var base = GLCompat.listBase;
      return function() {
        GLCompat.listBase = base;
      };
    },
  },

  glGenLists__deps: ['$GLCompat'],
  glGenLists: function(range) {
    var first = GLCompat.nextList;
    GLCompat.nextList += range;
    return first;
  },

  glNewList__deps: ['$GLCompat'],
  glNewList: function(list, mode) {
    GLCompat.compiling = [];
    GLCompat.compilingList = list;
  },

  glEndList__deps: ['$GLCompat'],
  glEndList: function() {
    GLCompat.lists[GLCompat.compilingList] = GLCompat.compiling;
    GLCompat.compiling = null;
  },

  glCallList__deps: ['$GLCompat'],
  glCallList: function(list) {
    GLCompat.callList(list);
  },

  glListBase__deps: ['$GLCompat'],
  glListBase: function(base) {
    GLCompat.listBase = base;
  },

  // Only the byte names the game's text passes.
  glCallLists__deps: ['$GLCompat'],
  glCallLists: function(count, type, names) {
    if (type != 0x1401 /* GL_UNSIGNED_BYTE */) {
      return;
    }
    for (var i = 0; i < count; ++i) {
      GLCompat.callList(GLCompat.listBase + HEAPU8[names + i]);
    }
  },

  glDeleteLists__deps: ['$GLCompat'],
  glDeleteLists: function(list, range) {
    for (var i = 0; i < range; ++i) {
      delete GLCompat.lists[list + i];
    }
  },

  glIsList__deps: ['$GLCompat'],
  glIsList: function(list) {
    return list in GLCompat.lists ? 1 : 0;
  },

  glPushAttrib__deps: ['$GLCompat'],
  glPushAttrib: function(mask) {
    var restores = [];
    if (mask & 0x00001 /* GL_CURRENT_BIT */) restores.push(GLCompat.saveCurrentColour());
    if (mask & 0x01000 /* GL_TRANSFORM_BIT */) restores.push(GLCompat.saveMatrixMode());
    if (mask & 0x20000 /* GL_LIST_BIT */) restores.push(GLCompat.saveListBase());
    if (mask & 0x04000 /* GL_COLOR_BUFFER_BIT */) restores.push(GLCompat.saveColourBuffer());
    if (mask & 0x80000 /* GL_SCISSOR_BIT */) restores.push(GLCompat.saveScissor());
    if (mask & 0x02000 /* GL_ENABLE_BIT */) restores.push(GLCompat.saveEnables(GLCompat.savedCapabilities));
    GLCompat.attributeStack.push(restores);
  },

  // The enables come back last, over what the other groups restored.
  glPopAttrib__deps: ['$GLCompat'],
  glPopAttrib: function() {
    var restores = GLCompat.attributeStack.pop() || [];
    restores.forEach(function(restore) {
      restore();
    });
  },

  glPushClientAttrib__deps: ['$GLCompat', '$GL'],
  glPushClientAttrib: function(mask) {
    GLCompat.clientAttributeStack.push(GL.unpackAlignment);
  },

  glPopClientAttrib__deps: ['$GLCompat', 'glPixelStorei'],
  glPopClientAttrib: function() {
    var alignment = GLCompat.clientAttributeStack.pop();
    if (alignment) {
      _glPixelStorei(0x0CF5 /* GL_UNPACK_ALIGNMENT */, alignment);
    }
  },

  glTexCoord2d__deps: ['glTexCoord2f'],
  glTexCoord2d: function(s, t) {
    _glTexCoord2f(s, t);
  },
};

autoAddDeps(LibraryGLCompat, '$GLCompat');
mergeInto(LibraryManager.library, LibraryGLCompat);
